# Writes the module-definition file of meklan.dll: the exports of meklan.map, in its order and
# numbered from 1 (the sixteen first, then the edition interface). With DECORATE (32-bit x86)
# each name carries the "@n" of its __stdcall symbol, n = 4 bytes per argument of its
# declaration in meklan.h (every argument is a 32-bit integer or pointer there); the linker
# (--kill-at) and dlltool (-k) strip it again, so the DLL exports plain names while the import
# library resolves the decorated symbols that callers' compilers ask for.
#
#   cmake -DMAP=meklan.map -DHEADER=meklan.h -DOUT=meklan.def -DDECORATE=ON|OFF -P make_def.cmake
file(STRINGS ${MAP} map_lines REGEX "^[ \t]+MEKLAN_[A-Za-z]+;")
file(READ ${HEADER} header)
set(text "LIBRARY meklan.dll\nEXPORTS\n")
set(ordinal 1)
foreach(line IN LISTS map_lines)
  string(REGEX REPLACE "^[ \t]+(MEKLAN_[A-Za-z]+);.*" "\\1" name "${line}")
  set(symbol ${name})
  if(DECORATE)
    if(NOT header MATCHES "MEKLAN_CALL ${name}\\(([^)]*)\\)")
      message(FATAL_ERROR "${name} of ${MAP} is not declared with MEKLAN_CALL in ${HEADER}")
    endif()
    set(arguments "${CMAKE_MATCH_1}")
    if(arguments STREQUAL "void")
      set(bytes 0)
    else()
      string(REGEX REPLACE "[^,]" "" commas "${arguments}")
      string(LENGTH "${commas}" count)
      math(EXPR bytes "4 * (${count} + 1)")
    endif()
    set(symbol "${name}@${bytes}")
  endif()
  string(APPEND text "  ${symbol} @${ordinal}\n")
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
file(WRITE ${OUT} "${text}")
