# lanter5_add_plugin(NAME [OUTPUT_NAME FILE] SOURCES ... [EDITOR_SOURCES ...] [RESOURCES ...])
#
# Makes a plug-in module that a host loads from a plug-in's own sources, linked with the effect
# core and, where the view toolkit exists (Windows; Linux built with X11 and cairo), with the
# editor bridge and the toolkit:
# - Windows: a DLL that exports exactly VSTPluginMain and main, with its runtime linked in;
# - elsewhere: a shared object whose version script leaves exactly those two names visible, so
#   that two plug-ins of this frame in one host never share the toolkit's code.
# EDITOR_SOURCES are compiled only where there is a toolkit; they define the plug-in's
# `createPluginEditor`. Elsewhere the core's default gives the effect no editor. SOURCES define
# the plug-in's `createEffect`, which the entry point calls.
#
# RESOURCES go into the module with the editor, each image file named after the file without
# its extension (`knob.png` is "knob"), which is where the toolkit's images look for them: on
# Windows as resources of type "PNG" for PNG files and RCDATA for others, with resource
# scripts (.rc) compiled as they are; on Linux in a table inside the shared object.
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

set_property(GLOBAL PROPERTY LANTER5_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/Lanter5EmbedFiles.cmake)

if(WIN32)
  enable_language(RC)
endif()

# The plug-in's tests (lanter5_add_plugin_test) are CTest's, with nothing more to write; testing
# is a folder's setting, so it is turned on where the frame is taken in, usually the top.
enable_testing()

# The name plug-in `name` finds `image` under: its file's name without the extension, the same
# on every platform, so one that builds on one builds on all.
function(_lanter5_resource_name name image stem_var)
  get_filename_component(stem ${image} NAME_WE)
  if(NOT stem MATCHES "^[A-Za-z_][A-Za-z0-9_]*(@2x)?$")
    message(FATAL_ERROR "lanter5_add_plugin(${name}): ${image}: a resource name is made of "
      "letters, digits and _, and does not start with a digit; @2x may end it")
  endif()
  set(${stem_var} ${stem} PARENT_SCOPE)
endfunction()

# Writes a resource script holding `images` for `name` and stores its path in `script_var`.
function(_lanter5_image_script name images script_var)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}-resources/images.rc)
  set(content "")
  set(files "")
  foreach(image IN LISTS images)
    get_filename_component(image ${image} ABSOLUTE)
    list(APPEND files ${image})
    _lanter5_resource_name(${name} ${image} stem)
    get_filename_component(extension ${image} LAST_EXT)
    string(TOLOWER "${extension}" extension)
    if(extension STREQUAL ".png")
      set(type "PNG")
    else()
      set(type "RCDATA")
    endif()
    # Quoted for the @ of a denser image; the statement before each keeps the compiler from
    # joining the name to the string ending the line above.
    string(APPEND content "LANGUAGE 0, 0\n\"${stem}\" ${type} \"${image}\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${script} CONTENT "${content}")
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${files}")
  set(${script_var} ${script} PARENT_SCOPE)
endfunction()

# Writes the table of `images` that a Linux plug-in `name` carries inside itself, each under its
# file's name without the extension, and stores the source's path in `table_var`.
function(_lanter5_embedded_files name images table_var)
  set(table ${CMAKE_CURRENT_BINARY_DIR}/${name}-resources/EmbeddedFiles.cpp)
  set(pairs "")
  set(files "")
  foreach(image IN LISTS images)
    get_filename_component(image ${image} ABSOLUTE)
    _lanter5_resource_name(${name} ${image} stem)
    list(APPEND files ${image})
    list(APPEND pairs "${stem}=${image}")
  endforeach()
  string(REPLACE ";" "|" pairs "${pairs}")
  get_property(script GLOBAL PROPERTY LANTER5_EMBED_SCRIPT)
  add_custom_command(OUTPUT ${table}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${table} "-DFILES=${pairs}" -P ${script}
    DEPENDS ${files} ${script} VERBATIM)
  set(${table_var} ${table} PARENT_SCOPE)
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

  if(TARGET Lanter5::toolkit)
    target_sources(${name} PRIVATE ${ARG_EDITOR_SOURCES})
    target_link_libraries(${name} PRIVATE Lanter5::editor Lanter5::toolkit)
  endif()

  if(WIN32)
    get_property(dll_main GLOBAL PROPERTY LANTER5_DLLMAIN_SOURCE)
    # The module's load notification hands its instance to the frame windows' class.
    target_sources(${name} PRIVATE ${dll_main})
    set(images ${ARG_RESOURCES})
    list(FILTER images EXCLUDE REGEX "\\.[rR][cC]$")
    set(scripts ${ARG_RESOURCES})
    list(FILTER scripts INCLUDE REGEX "\\.[rR][cC]$")
    if(images)
      _lanter5_image_script(${name} "${images}" image_script)
      list(APPEND scripts ${image_script})
    endif()
    target_sources(${name} PRIVATE ${scripts})
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
    set(images ${ARG_RESOURCES})
    list(FILTER images EXCLUDE REGEX "\\.[rR][cC]$")
    if(images AND TARGET Lanter5::toolkit)
      _lanter5_embedded_files(${name} "${images}" table)
      target_sources(${name} PRIVATE ${table})
    endif()
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
  if(TARGET Lanter5::toolkit)
    target_sources(${name} PRIVATE ${ARG_EDITOR_SOURCES})
    target_link_libraries(${name} PRIVATE Lanter5::editor Lanter5::toolkit)
  endif()
  if(WIN32)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
      get_property(wine_run GLOBAL PROPERTY LANTER5_WINE_RUN)
      set_target_properties(${name} PROPERTIES
        CROSSCOMPILING_EMULATOR "${wine_run};${CMAKE_BINARY_DIR}/wine-prefix")
    endif()
  endif()
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
endfunction()
