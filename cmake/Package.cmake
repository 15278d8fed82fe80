# Installing like a Linux program. One build gives two layouts:
# - `cmake --install build --prefix DIR`: the program folder that Dist.cmake lays out, plus the
#   development files (meklan.h, meklan.pc, the CMake package meklan::meklan), manual pages,
#   the desktop entry and the icon in the freedesktop sizes, all below DIR, so that DIR stays
#   one self-contained, portable folder (components tovra, meklan, meklan_dev).
# - The Debian packages (DebianPackages.cmake): the same files where the filesystem hierarchy
#   puts them, in components of their own that a plain `cmake --install` leaves out.
include(CMakePackageConfigHelpers)

set(PACKAGE_WORK ${CMAKE_BINARY_DIR}/package)

# --- Development files: meklan_dev --------------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/library/include/meklan.h DESTINATION include COMPONENT meklan_dev)
install(EXPORT meklanTargets NAMESPACE meklan:: DESTINATION lib/cmake/meklan COMPONENT meklan_dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/meklanConfig.cmake.in
  ${PACKAGE_WORK}/meklanConfig.cmake INSTALL_DESTINATION lib/cmake/meklan)
write_basic_package_version_file(${PACKAGE_WORK}/meklanConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PACKAGE_WORK}/meklanConfig.cmake ${PACKAGE_WORK}/meklanConfigVersion.cmake
  DESTINATION lib/cmake/meklan COMPONENT meklan_dev)
# Found through PKG_CONFIG_PATH, the file knows the folder from its own place.
set(MEKLAN_PC_PREFIX "\${pcfiledir}/../..")
set(MEKLAN_PC_LIBDIR "\${prefix}")
set(MEKLAN_PC_RPATH " -Wl,-rpath,\${libdir}")
configure_file(${PROJECT_SOURCE_DIR}/library/meklan.pc.in ${PACKAGE_WORK}/meklan.pc @ONLY)
install(FILES ${PACKAGE_WORK}/meklan.pc DESTINATION lib/pkgconfig COMPONENT meklan_dev)

# --- Manual pages ----------------------------------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/library/cli/meklan.1 DESTINATION share/man/man1 COMPONENT meklan)
install(FILES ${PROJECT_SOURCE_DIR}/program/desktop/tovra-search.1
  ${PROJECT_SOURCE_DIR}/program/serve/tovra-serve.1
  DESTINATION share/man/man1 COMPONENT tovra)
if(MEKLAN_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/program/desktop/tovra.1 DESTINATION share/man/man1 COMPONENT tovra)
endif()

# --- Desktop entry and icons -------------------------------------------------------------------------
set(TOVRA_ICON_SIZES 16 22 24 32 48 64 128 256)
if(MEKLAN_BUILD_GUI)
  add_executable(tovra-render-icons ${PROJECT_SOURCE_DIR}/program/desktop/render_icons.cpp)
  target_link_libraries(tovra-render-icons PRIVATE tovra_resources)
  test_target(tovra-render-icons)
  set(icon_outputs)
  foreach(size ${TOVRA_ICON_SIZES})
    list(APPEND icon_outputs ${PACKAGE_WORK}/icons/hicolor/${size}x${size}/apps/tovra.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_outputs}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
      $<TARGET_FILE:tovra-render-icons> ${PACKAGE_WORK}/icons
    DEPENDS tovra-render-icons
    COMMENT "Rendering icon 102 in the freedesktop sizes")
  add_custom_target(tovra_icons ALL DEPENDS ${icon_outputs})
  install(DIRECTORY ${PACKAGE_WORK}/icons/ DESTINATION share/icons COMPONENT tovra)
  # The entry names the program by its installed path, known only when installing.
  install(CODE "
    get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(TOVRA_EXEC \"\${prefix}/tovra\")
    configure_file(\"${PROJECT_SOURCE_DIR}/program/desktop/tovra.desktop.in\"
      \"\$ENV{DESTDIR}\${prefix}/share/applications/tovra.desktop\" @ONLY)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${prefix}/share/applications/tovra.desktop\")"
    COMPONENT tovra)
endif()

include(DebianPackages)
