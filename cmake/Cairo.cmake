# cairo's image surface as the target lanter5_cairo, for the Windows toolkit's anti-aliased
# drawing (the X11 toolkit takes Debian's libcairo2-dev). The Windows builds compile Debian's source packages
# of pixman and cairo (scripts/fetch-source) with the build's own MinGW-w64 toolchain, static,
# with nothing but the image surface: no fonts of the system's, PNG, X, PDF/PS/SVG or script.
include_guard(GLOBAL)

include(GNUInstallDirs)

function(lanter5_fetch_source package variable marker)
  set(${variable} "" CACHE PATH "Unpacked source package of ${package}; fetched when empty")
  if(NOT ${variable})
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-source ${package}
      OUTPUT_VARIABLE fetched OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT EXISTS "${fetched}/${marker}")
      message(FATAL_ERROR "${package}'s source package could not be fetched; run scripts/install-deps")
    endif()
    set(${variable} ${fetched} CACHE PATH "Unpacked source package of ${package}" FORCE)
  endif()
endfunction()
lanter5_fetch_source(pixman LANTER5_PIXMAN_SOURCE configure)
lanter5_fetch_source(cairo LANTER5_CAIRO_SOURCE configure)

include(ExternalProject)
set(cairo_prefix ${CMAKE_BINARY_DIR}/third-party/cairo)
set(pixman_library ${cairo_prefix}/lib/libpixman-1.a)
set(cairo_library ${cairo_prefix}/lib/libcairo.a)
# The project's own flags for this architecture (stack alignment, SSE2) apply to both.
get_directory_property(cairo_options DIRECTORY ${PROJECT_SOURCE_DIR} COMPILE_OPTIONS)
list(JOIN cairo_options " " cairo_c_flags)
string(REGEX REPLACE "-posix$" "" cairo_host_gcc "${CMAKE_C_COMPILER}")
get_filename_component(cairo_host "${cairo_host_gcc}" NAME)
string(REGEX REPLACE "-gcc$" "" cairo_host "${cairo_host}")
set(cairo_environment ${CMAKE_COMMAND} -E env
  "CC=${CMAKE_C_COMPILER}" "CFLAGS=-O2 ${cairo_c_flags}"
  PKG_CONFIG=pkg-config PKG_CONFIG_LIBDIR=${cairo_prefix}/lib/pkgconfig PKG_CONFIG_PATH=)
# Debian's patches leave configure.ac newer than configure; the shipped configure and
# Makefile.in are the ones to use, not a regeneration with whatever autotools are installed.
set(cairo_make make -j2 ACLOCAL=true AUTOCONF=true AUTOMAKE=true AUTOHEADER=true)

ExternalProject_Add(pixman_build
  SOURCE_DIR ${LANTER5_PIXMAN_SOURCE}
  BINARY_DIR ${cairo_prefix}/pixman-build
  INSTALL_DIR ${cairo_prefix}
  CONFIGURE_COMMAND ${cairo_environment} <SOURCE_DIR>/configure --host=${cairo_host}
    --prefix=<INSTALL_DIR> --enable-static --disable-shared --disable-gtk --disable-libpng
    --disable-openmp --disable-loongson-mmi --disable-arm-simd --disable-arm-neon
    --disable-arm-a64-neon --disable-arm-iwmmxt --disable-mips-dspr2 --disable-vmx
  BUILD_COMMAND ${cairo_make} -C pixman
  INSTALL_COMMAND ${cairo_make} -C pixman install COMMAND ${cairo_make} install-pkgconfigDATA
  BUILD_BYPRODUCTS ${pixman_library}
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON)

# cairo 1.16 reads file names as UTF-16 on Windows with a converter that it builds only along
# with the Windows font or PDF back ends; the definition asks for it alone.
ExternalProject_Add(cairo_build
  DEPENDS pixman_build
  SOURCE_DIR ${LANTER5_CAIRO_SOURCE}
  BINARY_DIR ${cairo_prefix}/cairo-build
  INSTALL_DIR ${cairo_prefix}
  CONFIGURE_COMMAND ${cairo_environment} CPPFLAGS=-DCAIRO_HAS_UTF8_TO_UTF16=1
    <SOURCE_DIR>/configure --host=${cairo_host} --prefix=<INSTALL_DIR> --enable-static
    --disable-shared --without-x --disable-xlib --disable-xlib-xrender --disable-xcb
    --disable-win32 --disable-win32-font --disable-quartz --disable-png --disable-script
    --disable-ft --disable-fc --disable-ps --disable-pdf --disable-svg --disable-tee
    --disable-xml --disable-gobject --disable-trace --disable-interpreter
    --disable-symbol-lookup --disable-full-testing --disable-gtk-doc --disable-valgrind
    --disable-egl --disable-glx --disable-wgl
  BUILD_COMMAND ${cairo_make} -C src libcairo.la
  INSTALL_COMMAND ${cairo_make} -C src install-libLTLIBRARIES install-cairoincludeHEADERS
    install-nodist_cairoincludeHEADERS
  BUILD_BYPRODUCTS ${cairo_library}
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON)

# An interface target, so that the installed package can carry it: the toolkit's own code
# compiles against the headers; whatever links the toolkit links both archives, cairo's first.
file(MAKE_DIRECTORY ${cairo_prefix}/include/cairo)
add_library(lanter5_cairo INTERFACE)
target_include_directories(lanter5_cairo INTERFACE $<BUILD_INTERFACE:${cairo_prefix}/include/cairo>)
target_link_libraries(lanter5_cairo INTERFACE
  $<BUILD_INTERFACE:${cairo_library}> $<BUILD_INTERFACE:${pixman_library}>
  $<INSTALL_INTERFACE:$<INSTALL_PREFIX>/${CMAKE_INSTALL_LIBDIR}/lanter5/libcairo.a>
  $<INSTALL_INTERFACE:$<INSTALL_PREFIX>/${CMAKE_INSTALL_LIBDIR}/lanter5/libpixman-1.a>)
# The archives, for cmake/Install.cmake to put beside the toolkit.
set_target_properties(lanter5_cairo PROPERTIES EXPORT_NAME cairo
  LANTER5_ARCHIVES "${cairo_library};${pixman_library}")
add_dependencies(lanter5_cairo cairo_build)
