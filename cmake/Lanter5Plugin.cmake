# lanter5_add_plugin(NAME [OUTPUT_NAME FILE] SOURCES ... [EDITOR_SOURCES ...] [RESOURCES ...])
#
# Makes a plug-in module that a host loads from a plug-in's own sources, linked with the effect
# core and, where the view toolkit exists (Windows), with the editor bridge and the toolkit:
# - Windows: a DLL that exports exactly VSTPluginMain and main, with its runtime linked in;
# - elsewhere: a shared object whose version script leaves exactly those two names visible.
# EDITOR_SOURCES are compiled only where there is a toolkit; they define the plug-in's
# `createPluginEditor`. Elsewhere the core's default gives the effect no editor. SOURCES define
# the plug-in's `createEffect`, which the entry point calls.
#
# RESOURCES go into the DLL with the editor: resource scripts (.rc) as they are, and image files
# each as a resource named after the file without its extension (`knob.png` is "knob"), of type
# "PNG" for PNG files and RCDATA for others, which is where the toolkit's images look for them.
#
# lanter5_add_plugin_test(NAME SOURCES ... [EDITOR_SOURCES ...] [LIBS ...] [ARGS ...])
#
# A test program of the plug-in's own: its sources (and, where there is a toolkit, its editor's)
# with the test's, linked as the plug-in is (on Windows with the runtime inside, so that it
# starts under Wine with nothing beside it), and registered with CTest to run with ARGS. Windows
# programs built on Linux run under Wine, in a Wine prefix of the build tree's own made on first
# use, unless CMAKE_CROSSCOMPILING_EMULATOR names another way. Without EDITOR_SOURCES the
# effect has no editor. The test passes when the program ends with status 0.
#
# Works from the source tree (add_subdirectory) and from the installed package
# (find_package(Lanter5)); the files the modules need sit beside this one once installed.

if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_EXPORTS_MAP ${CMAKE_CURRENT_LIST_DIR}/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/DllMain.cpp)
  set_property(GLOBAL PROPERTY LANTER5_WINE_RUN ${LANTER5_WINE_RUN})
else()
  set_property(GLOBAL PROPERTY LANTER5_EXPORTS_MAP ${CMAKE_CURRENT_LIST_DIR}/../plugin/exports.map)
  set_property(GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE
    ${CMAKE_CURRENT_LIST_DIR}/../gui/frame/win32/DllMain.cpp)
  set_property(GLOBAL PROPERTY LANTER5_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
endif()

if(WIN32)
  enable_language(RC)
endif()

# The plug-in's tests (lanter5_add_plugin_test) are CTest's, with nothing more to write; testing
# is a folder's setting, so it is turned on where the frame is taken in, usually the top.
enable_testing()

# Writes a resource script holding `images` for `name` and stores its path in `script_var`.
function(_lanter5_image_script name images script_var)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}-resources/images.rc)
  set(content "")
  set(files "")
  foreach(image IN LISTS images)
    get_filename_component(image ${image} ABSOLUTE)
    list(APPEND files ${image})
    get_filename_component(stem ${image} NAME_WE)
    get_filename_component(extension ${image} LAST_EXT)
    string(TOLOWER "${extension}" extension)
    if(NOT stem MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      message(FATAL_ERROR "lanter5_add_plugin(${name}): ${image}: a resource name is made of "
        "letters, digits and _, and does not start with a digit")
    endif()
    if(extension STREQUAL ".png")
      set(type "PNG")
    else()
      set(type "RCDATA")
    endif()
    string(APPEND content "${stem} ${type} \"${image}\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${script} CONTENT "${content}")
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${files}")
  set(${script_var} ${script} PARENT_SCOPE)
endfunction()

function(lanter5_add_plugin name)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;EDITOR_SOURCES;RESOURCES" ${ARGN})
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
    set(images ${ARG_RESOURCES})
    list(FILTER images EXCLUDE REGEX "\\.[rR][cC]$")
    set(scripts ${ARG_RESOURCES})
    list(FILTER scripts INCLUDE REGEX "\\.[rR][cC]$")
    if(images)
      _lanter5_image_script(${name} "${images}" image_script)
      list(APPEND scripts ${image_script})
    endif()
    target_sources(${name} PRIVATE ${scripts})
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

function(lanter5_add_plugin_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;EDITOR_SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "lanter5_add_plugin_test(${name}): no SOURCES")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  target_link_libraries(${name} PRIVATE Lanter5::core ${ARG_LIBS})
  if(WIN32)
    target_sources(${name} PRIVATE ${ARG_EDITOR_SOURCES})
    target_link_libraries(${name} PRIVATE Lanter5::editor Lanter5::toolkit)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
      get_property(wine_run GLOBAL PROPERTY LANTER5_WINE_RUN)
      set_target_properties(${name} PROPERTIES
        CROSSCOMPILING_EMULATOR "${wine_run};${CMAKE_BINARY_DIR}/wine-prefix")
    endif()
  endif()
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
endfunction()
