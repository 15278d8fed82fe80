# Installing like a Linux program, on top of the program folder that Dist.cmake lays out:
# development files (meklan.h, meklan.pc, the CMake package meklan::meklan), manual pages, the
# desktop entry and the icon in the freedesktop sizes, all relative to the install prefix so
# that `cmake --install build --prefix DIR` stays one self-contained folder. The Debian
# packages put that folder at MEKLAN_PACKAGE_PREFIX and add the links a system needs in /usr
# (commands, menu entry, icons, manual pages, pkg-config and CMake look-up).
include(CMakePackageConfigHelpers)

set(MEKLAN_PACKAGE_PREFIX /opt/tovra CACHE STRING "Where the Debian packages put the program folder")
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
configure_file(${PROJECT_SOURCE_DIR}/library/meklan.pc.in ${PACKAGE_WORK}/meklan.pc @ONLY)
install(FILES ${PACKAGE_WORK}/meklan.pc DESTINATION lib/pkgconfig COMPONENT meklan_dev)

# --- Manual pages ----------------------------------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/library/cli/meklan.1 DESTINATION share/man/man1 COMPONENT meklan)
install(FILES ${PROJECT_SOURCE_DIR}/program/desktop/tovra-search.1
  ${PROJECT_SOURCE_DIR}/program/serve/tovra-serve.1
  DESTINATION share/man/man1 COMPONENT tovra)

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

# --- Links into /usr, for the Debian packages only --------------------------------------------
# Absolute destinations in components that a plain `cmake --install` leaves out.
set(link_dir ${PACKAGE_WORK}/links)
function(system_link component destination name target)
  file(MAKE_DIRECTORY ${link_dir}/${component}${destination})
  file(CREATE_LINK ${target} ${link_dir}/${component}${destination}/${name} SYMBOLIC)
  install(FILES ${link_dir}/${component}${destination}/${name} DESTINATION ${destination}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()
set(P ${MEKLAN_PACKAGE_PREFIX})
system_link(meklan_system /usr/bin meklan ${P}/meklan)
system_link(meklan_system /usr/share/man/man1 meklan.1 ${P}/share/man/man1/meklan.1)
system_link(tovra_system /usr/bin tovra-search ${P}/tovra-search)
system_link(tovra_system /usr/share/man/man1 tovra-search.1 ${P}/share/man/man1/tovra-search.1)
system_link(tovra_system /usr/bin tovra-serve ${P}/tovra-serve)
system_link(tovra_system /usr/share/man/man1 tovra-serve.1 ${P}/share/man/man1/tovra-serve.1)
# The service's unit names the program by its packaged path.
configure_file(${PROJECT_SOURCE_DIR}/program/serve/tovra-serve.service.in ${PACKAGE_WORK}/system/tovra-serve.service @ONLY)
install(FILES ${PACKAGE_WORK}/system/tovra-serve.service DESTINATION /lib/systemd/system
  COMPONENT tovra_system EXCLUDE_FROM_ALL)
if(MEKLAN_BUILD_GUI)
  system_link(tovra_system /usr/bin tovra ${P}/tovra)
  system_link(tovra_system /usr/share/applications tovra.desktop
    ${P}/share/applications/tovra.desktop)
  foreach(size ${TOVRA_ICON_SIZES})
    system_link(tovra_system /usr/share/icons/hicolor/${size}x${size}/apps tovra.png
      ${P}/share/icons/hicolor/${size}x${size}/apps/tovra.png)
  endforeach()
endif()
# pkg-config and find_package look in /usr: a .pc that names the folder, and CMake files that
# load the package from it.
set(MEKLAN_PC_PREFIX ${P})
configure_file(${PROJECT_SOURCE_DIR}/library/meklan.pc.in ${PACKAGE_WORK}/system/meklan.pc @ONLY)
install(FILES ${PACKAGE_WORK}/system/meklan.pc DESTINATION /usr/share/pkgconfig
  COMPONENT meklan_dev_system EXCLUDE_FROM_ALL)
foreach(name meklanConfig meklanConfigVersion)
  file(WRITE ${PACKAGE_WORK}/system/${name}.cmake
    "include(\"${P}/lib/cmake/meklan/${name}.cmake\")\n")
  install(FILES ${PACKAGE_WORK}/system/${name}.cmake DESTINATION /usr/share/cmake/meklan
    COMPONENT meklan_dev_system EXCLUDE_FROM_ALL)
endforeach()

# --- CPack: three Debian packages --------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovra)
set(CPACK_PACKAGE_VENDOR "MEKLAN and TOVRA developers")
set(CPACK_PACKAGE_CONTACT "MEKLAN and TOVRA developers <tovra@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japan's postal codes and telephone charging areas")
set(CPACK_PACKAGING_INSTALL_PREFIX ${MEKLAN_PACKAGE_PREFIX})
# Installed through DESTDIR into the real prefix: the desktop entry needs it at install time.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${MEKLAN_PACKAGE_PREFIX})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_COMPONENTS_ALL meklan meklan_system meklan_dev meklan_dev_system)
if(MEKLAN_BUILD_GUI)
  list(PREPEND CPACK_COMPONENTS_ALL tovra tovra_system)
endif()
foreach(component ${CPACK_COMPONENTS_ALL})
  string(REGEX REPLACE "_system$" "" group ${component})
  string(TOUPPER ${component} upper)
  set(CPACK_COMPONENT_${upper}_GROUP ${group})
endforeach()
set(CPACK_DEBIAN_TOVRA_PACKAGE_NAME tovra)
set(CPACK_DEBIAN_TOVRA_PACKAGE_DEPENDS
  "libmeklan3 (= ${PROJECT_VERSION}), libqt6widgets6, libqt6gui6, libqt6core6, libcpp-httplib0.11, fonts-ipafont-gothic")
set(CPACK_DEBIAN_TOVRA_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_COMPONENT_GROUP_TOVRA_DESCRIPTION
  "TOVRA: search KEN_ALL.CSV and JIGYOSYO.CSV by postal code, address, area code\n with the bundled postal data, help pages, the command tovra-search and the\n local web service tovra-serve.")
set(CPACK_DEBIAN_MEKLAN_PACKAGE_NAME libmeklan3)
set(CPACK_DEBIAN_MEKLAN_PACKAGE_DEPENDS "libc6, libstdc++6")
set(CPACK_DEBIAN_MEKLAN_PACKAGE_RECOMMENDS "libqt6widgets6")
set(CPACK_COMPONENT_GROUP_MEKLAN_DESCRIPTION
  "MEKLAN: Japan's telephone charging areas (MA), area codes and distances\n the library libmeklan.so.3, its distance dialog module and the command meklan.")
set(CPACK_DEBIAN_MEKLAN_DEV_PACKAGE_NAME libmeklan-dev)
set(CPACK_DEBIAN_MEKLAN_DEV_PACKAGE_DEPENDS "libmeklan3 (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_GROUP_MEKLAN_DEV_DESCRIPTION
  "MEKLAN development files\n meklan.h, the pkg-config file meklan.pc and the CMake package meklan::meklan.")
include(CPack)
