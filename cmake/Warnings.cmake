# Project-wide compiler flags: strict warnings, hidden symbols, optional sanitizers.
add_compile_options(-Wall -Wextra)
if(MEKLAN_WERROR)
  add_compile_options(-Werror)
endif()
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# The command-line programs start afresh for every search, and at each start the dynamic loader
# spends more time on the C++ runtime's symbol look-ups than the programs on their own start.
# Linked in, the runtime costs nothing at start; the library exports only its C interface, so
# its copy stays its own. Sanitizer and fuzzing builds keep the shared runtime, whose operator
# new their interceptors replace.
if(MEKLAN_STATIC_CXX_RUNTIME AND NOT MEKLAN_SANITIZE AND NOT MEKLAN_BUILD_FUZZ)
  set(MEKLAN_CXX_RUNTIME_LINK_OPTIONS -static-libstdc++ -static-libgcc)
else()
  set(MEKLAN_CXX_RUNTIME_LINK_OPTIONS)
endif()

if(MEKLAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz builds (clang only): every object is instrumented for libFuzzer and the sanitizers;
# the fuzz targets themselves link the libFuzzer driver.
if(MEKLAN_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MEKLAN_BUILD_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
