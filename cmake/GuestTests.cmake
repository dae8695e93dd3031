# Windows programs that scripts/win32-guest runs in the emulated 32-bit machine. A 32-bit
# Windows build lists them in ${CMAKE_BINARY_DIR}/guest-tests.txt, one "NAME PROGRAM ARGS..."
# a line, with PROGRAM relative to the build's bin/ folder; `scripts/win32-guest run-build
# BUILD_DIR` runs that list. Other builds ignore the calls.
include_guard(GLOBAL)

if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(LANTER5_GUEST_TESTS ON)
else()
  set(LANTER5_GUEST_TESTS OFF)
endif()

# lanter5_guest_test(NAME [COMMAND PROGRAM ARGS...]): runs target NAME's program with no
# arguments, or the given command line (generator expressions allowed), e.g.
#   lanter5_guest_test(validate COMMAND $<TARGET_FILE_NAME:vsthost> validate Lanter5.dll --level hostile)
function(lanter5_guest_test name)
  if(NOT LANTER5_GUEST_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  if(ARG_COMMAND)
    list(JOIN ARG_COMMAND " " command)
  else()
    set(command "$<TARGET_FILE_NAME:${name}>")
  endif()
  set_property(GLOBAL APPEND PROPERTY LANTER5_GUEST_TEST_LINES "${name} ${command}")
endfunction()

function(lanter5_write_guest_tests)
  get_property(lines GLOBAL PROPERTY LANTER5_GUEST_TEST_LINES)
  list(JOIN lines "\n" content)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/guest-tests.txt CONTENT "${content}\n")
endfunction()

if(LANTER5_GUEST_TESTS)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL lanter5_write_guest_tests)
endif()
