# Project-wide compiler flags: strict warnings, hidden symbols, optional sanitizers.
add_compile_options(-Wall -Wextra)
if(MEKLAN_WERROR)
  add_compile_options(-Werror)
endif()
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# Link options for the library and the command-line programs, which start afresh for every
# search: at each start the dynamic loader spent more time on the C++ runtime's symbol look-ups
# and on relocation records than the programs on their own start.
# - The C++ runtime is linked in. The library exports only its C interface, so its copy stays
#   its own. Sanitizer and fuzzing builds keep the shared runtime, whose operator new their
#   interceptors replace.
# - Relative relocations are packed (a few hundred bytes instead of tens of kilobytes read and
#   applied one by one); the library's generated tables alone hold some 43,000 pointers.
# - Only the libraries a binary uses are loaded (the runtime brings -lm along, which the
#   library needs for nothing but a square root the processor takes itself).
include(CheckLinkerFlag)
check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" MEKLAN_LINKER_PACKS_RELOCS)
set(MEKLAN_QUICK_START_LINK_OPTIONS)
if(MEKLAN_LINKER_PACKS_RELOCS)
  list(APPEND MEKLAN_QUICK_START_LINK_OPTIONS -Wl,-z,pack-relative-relocs)
endif()
list(APPEND MEKLAN_QUICK_START_LINK_OPTIONS -Wl,--as-needed)
if(MEKLAN_STATIC_CXX_RUNTIME AND NOT MEKLAN_SANITIZE AND NOT MEKLAN_BUILD_FUZZ)
  list(APPEND MEKLAN_QUICK_START_LINK_OPTIONS -static-libstdc++ -static-libgcc)
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

# Release builds carry the hardening a distribution build applies: checked string and memory
# functions, stack protector, read-only relocations after start-up and immediate binding
# (tests/package/check_package.sh checks every packaged binary). Sanitizer and fuzzing builds
# are debugging builds and go without: _FORTIFY_SOURCE and the sanitizers check the same calls.
# The Windows cross build goes without too: RELRO and binding are ELF notions, and mingw-w64's
# checked functions and stack protector would make the DLL import a runtime Windows lacks.
if(NOT MEKLAN_SANITIZE AND NOT MEKLAN_BUILD_FUZZ AND NOT WIN32)
  set(release $<CONFIG:Release,MinSizeRel>)
  add_compile_options($<${release}:-U_FORTIFY_SOURCE> $<${release}:-D_FORTIFY_SOURCE=2>
                      $<${release}:-fstack-protector-strong>)
  add_link_options($<${release}:LINKER:-z,relro> $<${release}:LINKER:-z,now>)
endif()
