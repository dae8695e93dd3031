# lanter5_add_plugin(NAME [OUTPUT_NAME FILE] SOURCES ... [EDITOR_SOURCES ...])
#
# Makes a plug-in module that a host loads from a plug-in's own sources, linked with the effect
# core and, where the view toolkit exists (Windows), with the editor bridge and the toolkit:
# - Windows: a DLL that exports exactly VSTPluginMain and main, with its runtime linked in;
# - elsewhere: a shared object whose version script leaves exactly those two names visible.
# EDITOR_SOURCES are compiled only where there is a toolkit; they define the plug-in's
# `createPluginEditor`. Elsewhere the core's default gives the effect no editor. SOURCES define
# the plug-in's `createEffect`, which the entry point calls.
#
# Works from the source tree (add_subdirectory) and from the installed package
# (find_package(Lanter5)); the files the modules need sit beside this one once installed.

if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_EXPORTS_MAP ${CMAKE_CURRENT_LIST_DIR}/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/DllMain.cpp)
else()
  set_property(GLOBAL PROPERTY LANTER5_EXPORTS_MAP ${CMAKE_CURRENT_LIST_DIR}/../plugin/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE
    ${CMAKE_CURRENT_LIST_DIR}/../gui/frame/DllMain.cpp)
endif()

function(lanter5_add_plugin name)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;EDITOR_SOURCES" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "lanter5_add_plugin(${name}): no SOURCES")
  endif()
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME ${name})
  endif()

  add_library(${name} MODULE ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME} PREFIX ""
    CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # The frame is built without exceptions; a plug-in's code must not expect any to pass it.
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  target_link_libraries(${name} PRIVATE Lanter5::core)

  if(WIN32)
    get_property(dll_main GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE)
    # The module's load notification hands its instance to the frame windows' class.
    target_sources(${name} PRIVATE ${ARG_EDITOR_SOURCES} ${dll_main})
    target_link_libraries(${name} PRIVATE Lanter5::editor Lanter5::toolkit)
    # `main` is the second name of the entry point; C++ cannot declare it with this signature.
    set(definitions ${CMAKE_CURRENT_BINARY_DIR}/${name}-exports/${ARG_OUTPUT_NAME}.def)
    file(CONFIGURE OUTPUT ${definitions} CONTENT
      "LIBRARY ${ARG_OUTPUT_NAME}.dll\nEXPORTS\n    VSTPluginMain\n    main = VSTPluginMain\n")
    target_sources(${name} PRIVATE ${definitions})
    # Hosts load the DLL alone: only system DLLs may be imported.
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      # 32-bit hosts may call in with a 4-byte aligned stack.
      target_compile_options(${name} PRIVATE -mincoming-stack-boundary=2 -msse2 -mfpmath=sse)
    endif()
  else()
    get_property(exports_map GLOBAL PROPERTY LANTER5_EXPORTS_MAP)
    target_link_options(${name} PRIVATE -Wl,--defsym=main=VSTPluginMain
      -Wl,--version-script=${exports_map} -Wl,--no-undefined)
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${exports_map})
  endif()
endfunction()
