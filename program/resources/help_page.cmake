# cmake -DPAGE=<body.html> -DLAYOUT=<layout.html.in> -DOUTPUT=<page.html> -P help_page.cmake
#
# A help page is its body (from its <h1> title on) set into the layout that every page shares
# (head, style sheet, the bar of links); the window title is the <h1> text.
file(READ "${PAGE}" body)
if(NOT body MATCHES "^<h1>([^<]+)</h1>")
  message(FATAL_ERROR "${PAGE}: a help page body begins with <h1>title</h1>")
endif()
set(title "${CMAKE_MATCH_1}")
file(READ "${LAYOUT}" page)
string(REPLACE "@HELP_TITLE@" "${title}" page "${page}")
string(REPLACE "@HELP_BODY@" "${body}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
