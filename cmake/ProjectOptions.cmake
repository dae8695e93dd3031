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
