# libsndfile as the target lanter5_sndfile. Native builds take Debian's libsndfile1-dev; the
# Windows builds compile Debian's source package of it (scripts/fetch-source puts it in a
# cache folder) with the build's own MinGW-w64 toolchain, as a static library without the
# external codecs (FLAC, Ogg, Vorbis, Opus, MPEG), which would each need building the same way.
include_guard(GLOBAL)

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET GLOBAL sndfile)
  add_library(lanter5_sndfile INTERFACE)
  target_link_libraries(lanter5_sndfile INTERFACE PkgConfig::SNDFILE)
  return()
endif()

set(LANTER5_SNDFILE_SOURCE "" CACHE PATH "Unpacked source package of libsndfile; fetched when empty")
if(NOT LANTER5_SNDFILE_SOURCE)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-source libsndfile
    OUTPUT_VARIABLE fetched OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT EXISTS "${fetched}/CMakeLists.txt")
    message(FATAL_ERROR "libsndfile's source package could not be fetched; run scripts/install-deps")
  endif()
  set(LANTER5_SNDFILE_SOURCE ${fetched} CACHE PATH "Unpacked source package of libsndfile" FORCE)
endif()

include(ExternalProject)
set(sndfile_prefix ${CMAKE_BINARY_DIR}/third-party/sndfile)
set(sndfile_library ${sndfile_prefix}/lib/libsndfile.a)
# The project's own flags for this architecture (stack alignment, SSE2) apply to it as well.
get_directory_property(sndfile_options DIRECTORY ${PROJECT_SOURCE_DIR} COMPILE_OPTIONS)
list(JOIN sndfile_options " " sndfile_c_flags)
ExternalProject_Add(sndfile_build
  SOURCE_DIR ${LANTER5_SNDFILE_SOURCE}
  BINARY_DIR ${sndfile_prefix}/build
  INSTALL_DIR ${sndfile_prefix}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DCMAKE_INSTALL_LIBDIR=lib
    "-DCMAKE_C_FLAGS=${sndfile_c_flags}"
    -DBUILD_SHARED_LIBS=OFF
    -DBUILD_PROGRAMS=OFF
    -DBUILD_EXAMPLES=OFF
    -DBUILD_TESTING=OFF
    -DENABLE_EXTERNAL_LIBS=OFF
    -DENABLE_MPEG=OFF
    -DENABLE_CPACK=OFF
    -DENABLE_PACKAGE_CONFIG=OFF
    -DINSTALL_PKGCONFIG_MODULE=OFF
    -DINSTALL_MANPAGES=OFF
  BUILD_BYPRODUCTS ${sndfile_library}
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON)
file(MAKE_DIRECTORY ${sndfile_prefix}/include)
add_library(lanter5_sndfile STATIC IMPORTED GLOBAL)
set_target_properties(lanter5_sndfile PROPERTIES
  IMPORTED_LOCATION ${sndfile_library}
  INTERFACE_INCLUDE_DIRECTORIES ${sndfile_prefix}/include)
add_dependencies(lanter5_sndfile sndfile_build)
