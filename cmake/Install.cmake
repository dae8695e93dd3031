# `cmake --install`: the frame's libraries, their headers in one folder, vsthost, and the CMake
# package that gives an outside project the libraries as Lanter5::core, Lanter5::editor and
# Lanter5::toolkit together with lanter5_add_plugin.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Lanter5)
set(header_dir ${CMAKE_INSTALL_INCLUDEDIR}/lanter5)

set(frame_libraries plugin_core)
file(GLOB frame_headers ${PROJECT_SOURCE_DIR}/plugin/*.h)
# Lanter5's own effect is no part of the frame.
list(REMOVE_ITEM frame_headers ${PROJECT_SOURCE_DIR}/plugin/MyLanter5.h)
set(LANTER5_X11_TOOLKIT OFF)
if(TARGET gui_toolkit)
  list(APPEND frame_libraries gui_toolkit editor_gui)
  # The neutral headers and the platform's, all in one folder.
  if(WIN32)
    file(GLOB gui_headers ${PROJECT_SOURCE_DIR}/gui/*/*.h ${PROJECT_SOURCE_DIR}/gui/*/win32/*.h)
  else()
    set(LANTER5_X11_TOOLKIT ON)
    file(GLOB gui_headers ${PROJECT_SOURCE_DIR}/gui/*/*.h ${PROJECT_SOURCE_DIR}/gui/drawing/cairo/*.h
      ${PROJECT_SOURCE_DIR}/gui/frame/x11/*.h)
  endif()
  # Only the toolkit's own sources see cairo's headers on Windows.
  list(REMOVE_ITEM gui_headers ${PROJECT_SOURCE_DIR}/gui/drawing/SmoothTracing.h
    ${PROJECT_SOURCE_DIR}/gui/drawing/win32/CDibPatch.h)
  list(APPEND frame_headers ${gui_headers} ${PROJECT_SOURCE_DIR}/editor/AEffGUIEditor.h
    ${PROJECT_SOURCE_DIR}/editor/ParameterEditor.h)
endif()

install(TARGETS ${frame_libraries} EXPORT Lanter5Targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET lanter5_cairo)
  # The Windows toolkit's static cairo and pixman, which a plug-in links with it.
  install(TARGETS lanter5_cairo EXPORT Lanter5Targets)
  get_target_property(cairo_archives lanter5_cairo LANTER5_ARCHIVES)
  install(FILES ${cairo_archives} DESTINATION ${CMAKE_INSTALL_LIBDIR}/lanter5)
endif()
install(FILES ${frame_headers} DESTINATION ${header_dir})
# The development host, to run and validate what is built against the package.
install(TARGETS vsthost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT Lanter5Targets NAMESPACE Lanter5:: DESTINATION ${package_dir})

# The way to run Windows programs under Wine (vsthost, a plug-in's tests), for people and for
# lanter5_add_plugin_test, which the package tells where it lies.
set(wine_run ${CMAKE_INSTALL_BINDIR}/lanter5-wine-run)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/wine-run DESTINATION ${CMAKE_INSTALL_BINDIR}
  RENAME lanter5-wine-run)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/Lanter5Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/Lanter5Config.cmake INSTALL_DESTINATION ${package_dir}
  PATH_VARS wine_run)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/Lanter5ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/Lanter5Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/Lanter5ConfigVersion.cmake
  ${CMAKE_CURRENT_LIST_DIR}/Lanter5Plugin.cmake
  ${CMAKE_CURRENT_LIST_DIR}/Lanter5EmbedFiles.cmake
  ${PROJECT_SOURCE_DIR}/plugin/exports.map
  ${PROJECT_SOURCE_DIR}/gui/frame/win32/DllMain.cpp
  DESTINATION ${package_dir})
# The toolchain files for the Windows builds, so that an outside project needs no checkout.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/cmake/toolchains DESTINATION ${package_dir})
