# Packs the kit with CPack; fails unless archive ZIP unpacks to exactly
# KIT/FILES, and unless its guide-ja.html holds, as <hN> and <table>, every
# heading and table of GUIDE made for PLATFORM by TEXT (its guide-ja.txt, where
# there is one, being that Markdown), with the contact of file CONTACT and a
# charset. With RUN (Windows), also unless the exe carries its version
# resource and its asInvoker manifest and, started from the unpacked folder
# with no runtime DLL beside it, declines with 255.
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}" RESULT_VARIABLE failed OUTPUT_QUIET)
file(MAKE_DIRECTORY "${WORK}/out")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${WORK}/${ZIP}" WORKING_DIRECTORY "${WORK}/out")
file(GLOB_RECURSE found RELATIVE "${WORK}/out" "${WORK}/out/*")
list(SORT found)
string(REGEX REPLACE "([^ ]+) ?" "${KIT}/\\1;" expected "${FILES}")
if(failed OR NOT "${found};" STREQUAL "${expected}")
  message(FATAL_ERROR "cpack (${failed}) made ${ZIP} holding '${found}', not '${expected}'")
endif()

# The headings ("LEVEL TEXT", in order) and table rows of a guide, Markdown or
# HTML. Headings are ATX lines ("## text") outside indented code; a table
# line starts and ends with "|". A ";" would split CMake's lists: made ",".
function(guide_outline text headings_var tables_var rows_var)
  string(REPLACE ";" "," text "\n${text}")
  if(text MATCHES "<html")
    string(REGEX MATCHALL "<h[1-6]>[^<]*</h" headings "${text}")
    list(TRANSFORM headings REPLACE "^<h([1-6])>([^<]*)</h$" "\\1 \\2")
    string(REGEX MATCHALL "<table>" tables "${text}")
    string(REGEX MATCHALL "<tr>" rows "${text}")
    list(LENGTH tables tables)
    list(LENGTH rows rows)
  else()
    string(REGEX MATCHALL "\n#+ [^\n]*" headings "${text}")
    list(TRANSFORM headings REPLACE "^\n(#+) +([^\n]*[^ #])[ #]*$" "\\1 \\2")
    foreach(level 6 5 4 3 2 1)
      string(REPEAT "#" ${level} marks)
      list(TRANSFORM headings REPLACE "^${marks} " "${level} ")
    endforeach()
    list(TRANSFORM headings REPLACE "&" "&amp;")
    list(TRANSFORM headings REPLACE "<" "&lt;")
    list(TRANSFORM headings REPLACE ">" "&gt;")
    list(TRANSFORM headings REPLACE "\"" "&quot;")
    # Every table line is a <tr> but its delimiter row ("|---|").
    string(REGEX MATCHALL "\n\\|[-:| ]+\\|" tables "${text}")
    string(REGEX MATCHALL "\n\\|[^\n]*\\|" lines "${text}")
    list(LENGTH lines lines)
    list(LENGTH tables tables)
    math(EXPR rows "${lines} - ${tables}")
  endif()
  set(${headings_var} "${headings}" PARENT_SCOPE)
  set(${tables_var} ${tables} PARENT_SCOPE)
  set(${rows_var} ${rows} PARENT_SCOPE)
endfunction()

execute_process(COMMAND "${CMAKE_COMMAND}" -DIN=${GUIDE} -DOUT=${WORK}/guide.md -DPLATFORM=${PLATFORM}
  -DCONTACT=${CONTACT} -P "${TEXT}" RESULT_VARIABLE failed)
file(READ "${WORK}/guide.md" markdown)
file(READ "${WORK}/out/${KIT}/guide-ja.html" html)
guide_outline("${markdown}" headings tables rows)
guide_outline("${html}" html_headings html_tables html_rows)
list(LENGTH headings count)
if(failed OR count EQUAL 0 OR tables EQUAL 0 OR NOT "${html_headings}" STREQUAL "${headings}"
   OR NOT html_tables EQUAL tables OR NOT html_rows EQUAL rows)
  message(FATAL_ERROR "guide-ja.html does not hold the guide's ${count} headings, ${tables} tables and "
    "${rows} table rows: it has ${html_tables} <table>, ${html_rows} <tr> and the headings\n"
    "  ${html_headings}\nnot\n  ${headings}")
endif()
file(READ "${CONTACT}" contact)
string(STRIP "${contact}" contact)
string(REPLACE "&" "&amp;" contact "${contact}")
string(REPLACE "<" "&lt;" contact "${contact}")
string(REPLACE ">" "&gt;" contact "${contact}")
string(FIND "${html}" "${contact}" at)
if(at LESS 0 OR NOT html MATCHES "<meta charset=\"utf-8\">" OR html MATCHES "BMCUPDATE_SUPPORT_CONTACT|<!--")
  message(FATAL_ERROR "guide-ja.html lacks its charset or the contact '${contact}', "
    "or holds a marker or an omitted piece of HTML")
endif()
if(EXISTS "${WORK}/out/${KIT}/guide-ja.txt")
  file(READ "${WORK}/out/${KIT}/guide-ja.txt" text)
  if(NOT text STREQUAL markdown)
    message(FATAL_ERROR "guide-ja.txt is not the guide's Markdown for ${PLATFORM}")
  endif()
endif()

if(RUN)
  execute_process(COMMAND "${WINDRES}" -i "${WORK}/out/${KIT}/bmcupdate.exe" -O rc OUTPUT_VARIABLE rc)
  string(REPLACE "." ", " numbers "${VERSION}")
  file(STRINGS "${WORK}/out/${KIT}/bmcupdate.exe" manifest REGEX "requestedExecutionLevel")
  if(NOT rc MATCHES "FILEVERSION ${numbers}, 0\n.*\"FileVersion\", \"${VERSION}\".*\"ProductVersion\", \"09-16\""
     OR NOT manifest MATCHES "level=\"asInvoker\"")
    message(FATAL_ERROR "no version resource ${VERSION} / 09-16 or asInvoker manifest in the exe: ${rc}")
  endif()
  file(WRITE "${WORK}/n.txt" "n\n")
  execute_process(COMMAND "${RUN}" bmcupdate.exe INPUT_FILE "${WORK}/n.txt"
    WORKING_DIRECTORY "${WORK}/out/${KIT}" RESULT_VARIABLE code OUTPUT_QUIET)
  if(NOT code EQUAL 255)
    message(FATAL_ERROR "the unpacked bmcupdate.exe ended with '${code}' after \"n\", not 255")
  endif()
endif()
