# The program folder: every shipped executable and library lands in <build>/dist,
# finds its libraries beside itself ($ORIGIN), and `cmake --install` lays out the same folder.
set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME tovra)
file(MAKE_DIRECTORY ${DIST_DIR} ${DIST_DIR}/ini)
install(DIRECTORY DESTINATION ini)

#
# Install components (one Debian package each, see Package.cmake): MEKLAN's files are `meklan`,
# its development files `meklan_dev`, everything else of the folder is the program, `tovra`.
set(MEKLAN_COMPONENT_TARGETS meklan meklan-dialog meklan-cli)

function(dist_target target)
  set_property(GLOBAL APPEND PROPERTY MEKLAN_DIST_TARGETS ${target})
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${DIST_DIR}
    INSTALL_RPATH "$ORIGIN"
    # The same RPATH in the build tree: a build RPATH shorter than the install one is padded
    # with ':', an empty entry that sends the loader through the working directory.
    BUILD_WITH_INSTALL_RPATH ON)
  set(component tovra)
  if(target IN_LIST MEKLAN_COMPONENT_TARGETS)
    set(component meklan)
  endif()
  if(target STREQUAL "meklan")
    # The library is also a CMake package: meklan::meklan (Package.cmake installs the export).
    install(TARGETS ${target} EXPORT meklanTargets
      LIBRARY DESTINATION . COMPONENT meklan NAMELINK_COMPONENT meklan_dev)
  else()
    install(TARGETS ${target}
      RUNTIME DESTINATION . COMPONENT ${component}
      LIBRARY DESTINATION . COMPONENT ${component})
  endif()
endfunction()

# Tests and benchmarks stay out of the program folder.
function(test_target target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# `dist`: the program folder alone, what the main job runs (scripts/setup.sh builds just this;
# `all` adds the tests, benchmarks and tools). Call after every folder is added.
function(add_dist_target)
  get_property(targets GLOBAL PROPERTY MEKLAN_DIST_TARGETS)
  add_custom_target(dist)
  add_dependencies(dist ${targets} postal_data)
  if(TARGET tovra_help)
    add_dependencies(dist tovra_help)
  endif()
endfunction()
