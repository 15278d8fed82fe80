# The Debian packages (`cpack -G DEB` in a build tree): the files of the program folder where
# the filesystem hierarchy puts them.
#
#   libmeklan3     /usr/lib/<arch>/libmeklan.so.3, /usr/bin/meklan
#   meklan-dialog  the library's distance dialog, a Qt module in /usr/lib/<arch>/meklan/ (where
#                  the library looks for it when it is not beside it), so that the library
#                  itself does not bring Qt along
#   libmeklan-dev  /usr/include/meklan.h, the link libmeklan.so, meklan.pc and the CMake package
#                  in /usr/lib/<arch>
#   tovra          the program folder /usr/lib/tovra (tovra, tovra-search, an empty ini/, and
#                  data/ and help/ as links into /usr/share/tovra, where the bundled data and
#                  the help pages live), /usr/bin links to both commands, menu entry and icons
#
# The programs read their data and help pages beside themselves and find the folder from
# their own path, so the folder stays whole and the links make it FHS-shaped. Settings are kept
# per user: an installed ini/ is not writable, so the programs use ~/.config/tovra/.
# Every package carries copyright, changelog and gzip-compressed manual pages in
# /usr/share/doc/<package> and /usr/share/man; binaries are stripped and lose the RPATH of the
# program folder (the library lives in the system's search path); dependencies on shared
# libraries are computed from the binaries by dpkg-shlibdeps.
#
# Components are named deb_<package>; a new binary is one more line in MEKLAN_DEB_BINARIES.

set(MEKLAN_PACKAGE_MAINTAINER
  "Seed 2178f66e maintainers <maintainers@users.noreply.c-seed-2178f66e.example>"
  CACHE STRING "The Maintainer field of the Debian packages")
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(DEB_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(DEB_LIBDIR lib)
endif()
set(DEB_PROGRAM_DIR lib/tovra)
set(DEB_SHARE_DIR share/tovra)
set(DEB_WORK ${PACKAGE_WORK}/deb)

# The packages: component, package name, summary. Their long descriptions and relations follow.
set(MEKLAN_DEB_PACKAGES
  "deb_meklan|libmeklan3|Japan's telephone charging areas (MA), area codes and distances"
  "deb_meklan_dialog|meklan-dialog|distance dialog of the MEKLAN library (Qt module)"
  "deb_meklan_dev|libmeklan-dev|Japan's telephone charging areas - development files")
if(MEKLAN_BUILD_GUI)
  list(PREPEND MEKLAN_DEB_PACKAGES
    "deb_tovra|tovra|find Japan's postal codes by code, address, area code or municipality")
endif()

# Where each shipped binary goes: target, component, place. "lib" is the library directory,
# "module" its subdirectory meklan/, "bin" /usr/bin, "program" the program folder with a link from /usr/bin (the program finds
# data/, help/ and ini/ beside itself).
set(MEKLAN_DEB_BINARIES
  "meklan|deb_meklan|lib"
  "meklan-dialog|deb_meklan_dialog|module"
  "meklan-cli|deb_meklan|bin"
  "tovra-search|deb_tovra|program"
  "tovra-serve|deb_tovra|program"
  "tovra|deb_tovra|program")

# --- Files made for the packages: links, compressed manual pages and changelog ----------------
function(deb_link component destination name target)
  set(dir ${DEB_WORK}/links/${component}/${destination})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${target} ${dir}/${name} SYMBOLIC)
  install(FILES ${dir}/${name} DESTINATION ${destination} COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()

file(MAKE_DIRECTORY ${DEB_WORK}/man)
set(deb_gzipped)
function(deb_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc < \"$1\" > \"$2\"" gzip ${source} ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
  set(deb_gzipped ${deb_gzipped} ${output} PARENT_SCOPE)
endfunction()

deb_gzip(${PROJECT_SOURCE_DIR}/cmake/debian/changelog ${DEB_WORK}/changelog.gz)
set(deb_man_pages "library/cli/meklan.1|deb_meklan" "program/desktop/tovra-search.1|deb_tovra"
  "program/serve/tovra-serve.1|deb_tovra")
if(MEKLAN_BUILD_GUI)
  list(APPEND deb_man_pages "program/desktop/tovra.1|deb_tovra")
endif()
foreach(entry ${deb_man_pages})
  string(REPLACE "|" ";" fields ${entry})
  list(GET fields 0 page)
  list(GET fields 1 component)
  get_filename_component(name ${page} NAME)
  deb_gzip(${PROJECT_SOURCE_DIR}/${page} ${DEB_WORK}/man/${name}.gz)
  install(FILES ${DEB_WORK}/man/${name}.gz DESTINATION share/man/man1 COMPONENT ${component}
    EXCLUDE_FROM_ALL)
endforeach()
add_custom_target(deb_files ALL DEPENDS ${deb_gzipped})

# --- Binaries --------------------------------------------------------------------------------
foreach(entry ${MEKLAN_DEB_BINARIES})
  string(REPLACE "|" ";" fields ${entry})
  list(GET fields 0 target)
  list(GET fields 1 component)
  list(GET fields 2 place)
  if(NOT TARGET ${target})
    continue()
  endif()
  if(place STREQUAL "lib")
    set(destination ${DEB_LIBDIR})
  elseif(place STREQUAL "module")
    set(destination ${DEB_LIBDIR}/meklan)
  elseif(place STREQUAL "bin")
    set(destination bin)
  else()
    set(destination ${DEB_PROGRAM_DIR})
  endif()
  if(target STREQUAL "meklan")
    install(TARGETS meklan EXPORT meklanDebTargets
      LIBRARY DESTINATION ${destination} COMPONENT ${component}
      NAMELINK_COMPONENT deb_meklan_dev EXCLUDE_FROM_ALL)
  else()
    install(TARGETS ${target}
      RUNTIME DESTINATION ${destination} COMPONENT ${component} EXCLUDE_FROM_ALL
      LIBRARY DESTINATION ${destination} COMPONENT ${component} EXCLUDE_FROM_ALL)
  endif()
  # The program folder's RPATH ($ORIGIN) has nothing to find here.
  install(CODE "file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>\")"
    COMPONENT ${component} EXCLUDE_FROM_ALL)
  if(place STREQUAL "program")
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
      set(name ${target})
    endif()
    deb_link(${component} bin ${name} ../${DEB_PROGRAM_DIR}/${name})
  endif()
endforeach()

# --- The program's data, help, settings folder, menu entry and icons ---------------------------
if(MEKLAN_BUILD_GUI)
  install(DIRECTORY ${DIST_DIR}/data/ DESTINATION ${DEB_SHARE_DIR}/data COMPONENT deb_tovra EXCLUDE_FROM_ALL)
  install(DIRECTORY ${DIST_DIR}/help/ DESTINATION ${DEB_SHARE_DIR}/help COMPONENT deb_tovra EXCLUDE_FROM_ALL)
  deb_link(deb_tovra ${DEB_PROGRAM_DIR} data ../../${DEB_SHARE_DIR}/data)
  deb_link(deb_tovra ${DEB_PROGRAM_DIR} help ../../${DEB_SHARE_DIR}/help)
  install(DIRECTORY DESTINATION ${DEB_PROGRAM_DIR}/ini COMPONENT deb_tovra EXCLUDE_FROM_ALL)
  set(TOVRA_EXEC tovra)
  configure_file(${PROJECT_SOURCE_DIR}/program/desktop/tovra.desktop.in ${DEB_WORK}/tovra.desktop @ONLY)
  install(FILES ${DEB_WORK}/tovra.desktop DESTINATION share/applications COMPONENT deb_tovra EXCLUDE_FROM_ALL)
  install(DIRECTORY ${PACKAGE_WORK}/icons/ DESTINATION share/icons COMPONENT deb_tovra EXCLUDE_FROM_ALL)
  # The web service as a system service; its unit names the program by its packaged path.
  set(MEKLAN_PACKAGE_PREFIX /usr/${DEB_PROGRAM_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/program/serve/tovra-serve.service.in ${DEB_WORK}/tovra-serve.service @ONLY)
  install(FILES ${DEB_WORK}/tovra-serve.service DESTINATION /lib/systemd/system
    COMPONENT deb_tovra EXCLUDE_FROM_ALL)
endif()

# --- Development files ---------------------------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/library/include/meklan.h DESTINATION include
  COMPONENT deb_meklan_dev EXCLUDE_FROM_ALL)
install(EXPORT meklanDebTargets NAMESPACE meklan:: FILE meklanTargets.cmake
  DESTINATION ${DEB_LIBDIR}/cmake/meklan COMPONENT deb_meklan_dev EXCLUDE_FROM_ALL)
install(FILES ${PACKAGE_WORK}/meklanConfig.cmake ${PACKAGE_WORK}/meklanConfigVersion.cmake
  DESTINATION ${DEB_LIBDIR}/cmake/meklan COMPONENT deb_meklan_dev EXCLUDE_FROM_ALL)
set(MEKLAN_PC_PREFIX /usr)
set(MEKLAN_PC_LIBDIR "\${prefix}/${DEB_LIBDIR}")
set(MEKLAN_PC_RPATH "")
configure_file(${PROJECT_SOURCE_DIR}/library/meklan.pc.in ${DEB_WORK}/meklan.pc @ONLY)
install(FILES ${DEB_WORK}/meklan.pc DESTINATION ${DEB_LIBDIR}/pkgconfig
  COMPONENT deb_meklan_dev EXCLUDE_FROM_ALL)

# --- CPack -----------------------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovra)
set(CPACK_PACKAGE_VENDOR "MEKLAN and TOVRA developers")
set(CPACK_PACKAGE_CONTACT ${MEKLAN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MEKLAN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE tovra)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libmeklan.so.3 is not installed on the building machine: dpkg-shlibdeps finds it here, and
# the packages name their dependency on libmeklan3 themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${DIST_DIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_COMPONENTS_ALL)

set(DEB_TOVRA_DESCRIPTION
  "TOVRA searches the postal service's files KEN_ALL.CSV (every address area)
and JIGYOSYO.CSV (large business offices) by postal code, by address words or
business name, by local-government code, by telephone area code and by
prefecture and city, and shows each postal row with the telephone charging
areas (MA) and area codes that serve it.
.
This package contains the desktop program tovra, the command tovra-search
that runs every search of it from the shell (TSV, CSV or JSON), the bundled
postal data of end of May 2026 and the help pages.")
set(DEB_TOVRA_SECTION utils)
set(DEB_TOVRA_DEPENDS "libmeklan3 (= ${PROJECT_VERSION}), qt6-qpa-plugins, fonts-ipafont-gothic")
set(DEB_TOVRA_RECOMMENDS "qt6-translations-l10n")

set(DEB_MEKLAN_DESCRIPTION
  "MEKLAN carries every telephone charging area (MA, message area) of Japan as
constant data: its area codes and exchange prefixes, reading, prefecture and
reference point, the municipalities each MA serves, and the tariff's pair
tables, both as of 2003/12/01 and in a current edition. Its C interface tells
which MAs a number, name or reading belongs to, the area codes of an MA, the
charging distance of two MAs, adjacent and island MAs, and which MAs serve a
postal row.
.
This package contains the shared library libmeklan.so.3 and the command
meklan, which calls every export from the shell.")
set(DEB_MEKLAN_SECTION libs)
# The library directory's cache is brought up to date by dpkg's trigger.
set(CPACK_DEBIAN_DEB_MEKLAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(DEB_MEKLAN_RECOMMENDS "meklan-dialog (= ${PROJECT_VERSION})")

set(DEB_MEKLAN_DIALOG_DESCRIPTION
  "MEKLAN carries every telephone charging area (MA) of Japan with its area
codes and charging distances as constant data behind a C interface.
.
This package contains the module libmeklan-dialog.so that the library loads
on first use of MEKLAN_GetDistanceWithDialog (and meklan distance --dialog):
a small Qt dialog in which a user enters the two ends of a call and reads the
charging distance. Without it the library and its other exports work alike.")
set(DEB_MEKLAN_DIALOG_SECTION libs)
set(DEB_MEKLAN_DIALOG_DEPENDS "libmeklan3 (= ${PROJECT_VERSION}), qt6-qpa-plugins")

set(DEB_MEKLAN_DEV_DESCRIPTION
  "MEKLAN carries every telephone charging area (MA) of Japan with its area
codes and charging distances as constant data behind a C interface.
.
This package contains the header meklan.h, which is also the manual of the
interface, the link libmeklan.so, the pkg-config file meklan.pc and the CMake
package meklan::meklan.")
set(DEB_MEKLAN_DEV_SECTION libdevel)
set(DEB_MEKLAN_DEV_DEPENDS "libmeklan3 (= ${PROJECT_VERSION})")

foreach(entry ${MEKLAN_DEB_PACKAGES})
  string(REPLACE "|" ";" fields ${entry})
  list(GET fields 0 component)
  list(GET fields 1 package)
  list(GET fields 2 summary)
  string(TOUPPER ${component} upper)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${summary}\n${${upper}_DESCRIPTION}")
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${${upper}_SECTION})
  if(DEFINED ${upper}_DEPENDS)
    set(CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS ${${upper}_DEPENDS})
  endif()
  if(DEFINED ${upper}_RECOMMENDS)
    set(CPACK_DEBIAN_${upper}_PACKAGE_RECOMMENDS ${${upper}_RECOMMENDS})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${DEB_WORK}/changelog.gz
    DESTINATION share/doc/${package} COMPONENT ${component} EXCLUDE_FROM_ALL)
  # What lintian reports and is meant so, each with its reason (cmake/debian/<package>.lintian).
  if(EXISTS ${PROJECT_SOURCE_DIR}/cmake/debian/${package}.lintian)
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/${package}.lintian DESTINATION share/lintian/overrides
      RENAME ${package} COMPONENT ${component} EXCLUDE_FROM_ALL)
  endif()
endforeach()
include(CPack)
