# The program folder: every shipped executable and library lands in <build>/dist,
# finds its libraries beside itself ($ORIGIN), and `cmake --install` lays out the same folder.
set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${DIST_DIR} ${DIST_DIR}/ini)
install(DIRECTORY DESTINATION ini)

function(dist_target target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${DIST_DIR}
    INSTALL_RPATH "$ORIGIN"
    # The same RPATH in the build tree: a build RPATH shorter than the install one is padded
    # with ':', an empty entry that sends the loader through the working directory.
    BUILD_WITH_INSTALL_RPATH ON)
  install(TARGETS ${target} RUNTIME DESTINATION . LIBRARY DESTINATION .)
endfunction()

# Tests and benchmarks stay out of the program folder.
function(test_target target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
