# Compile and link settings shared by every target of the project.

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(WIN32)
  # The DLLs and every test program carry their runtime inside: only system DLLs are imported.
  add_link_options(-static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Hosts built with other compilers may call in with a 4-byte aligned stack; SSE2 keeps
    # floating point off the x87 unit.
    add_compile_options(-mincoming-stack-boundary=2 -msse2 -mfpmath=sse)
  endif()
endif()

# Warnings are errors in the project's own code; third-party code keeps its own settings.
function(lanter5_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
endfunction()

# AddressSanitizer and UndefinedBehaviorSanitizer, failing at the first finding.
function(lanter5_sanitize target)
  target_compile_options(${target} PRIVATE -fsanitize=address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(${target} PRIVATE -fsanitize=address,undefined)
endfunction()

# lanter5_holds_toolkit_libraries(TARGET): a program that loads Linux plug-ins with editors keeps
# the libraries under their toolkit (cairo, and pixman under it) loaded for its whole life.
# pixman allocates its tables when it is loaded and never frees them: unloaded with each
# plug-in, that memory would read as a leak under the sanitizers, and be allocated again by the
# next load.
function(lanter5_holds_toolkit_libraries target)
  if(WIN32 OR NOT LANTER5_X11_EDITORS)
    return()
  endif()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LANTER5_HELD REQUIRED cairo)
  # A helper library passes the libraries on to the programs that link it.
  get_target_property(type ${target} TYPE)
  set(scope PRIVATE)
  if(type STREQUAL "STATIC_LIBRARY")
    set(scope INTERFACE)
  endif()
  target_link_options(${target} ${scope} LINKER:--no-as-needed)
  target_link_libraries(${target} ${scope} ${LANTER5_HELD_LINK_LIBRARIES})
endfunction()
