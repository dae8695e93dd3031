# Windows programs that scripts/win32-guest runs in the emulated 32-bit machine. The build
# lists them in ${CMAKE_BINARY_DIR}/guest-tests.txt, one "NAME PROGRAM ARGS..." a line, with
# PROGRAM relative to the build's bin/ folder; `scripts/win32-guest run-build BUILD_DIR` runs
# that list.
include_guard(GLOBAL)

# lanter5_guest_test(NAME [COMMAND PROGRAM ARGS...]): runs target NAME's program with no
# arguments, or the given command line (generator expressions allowed).
function(lanter5_guest_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  if(ARG_COMMAND)
    list(JOIN ARG_COMMAND " " command)
  else()
    set(command "$<TARGET_FILE_NAME:${name}>")
  endif()
  set_property(GLOBAL APPEND PROPERTY LANTER5_GUEST_TESTS "${name} ${command}")
endfunction()

function(lanter5_write_guest_tests)
  get_property(lines GLOBAL PROPERTY LANTER5_GUEST_TESTS)
  list(JOIN lines "\n" content)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/guest-tests.txt CONTENT "${content}\n")
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL lanter5_write_guest_tests)
