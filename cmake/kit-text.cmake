# cmake -DIN=<file> -DOUT=<file> [-DCRLF=ON] -P kit-text.cmake
# cmake -DIN=<guide.md> -DOUT=<file> -DPLATFORM=windows|linux -DCONTACT=<file>
#       [-DCMARK=<cmark-gfm>] -P kit-text.cmake
# Writes a text file of the release kit. CRLF ends its lines with CR LF.
# With PLATFORM, IN is the operator's guide: passages between "<!-- windows -->"
# or "<!-- linux -->" and "<!-- end -->" (holding no "<") stay only in that
# platform's guide, and @BMCUPDATE_SUPPORT_CONTACT@ becomes the text of file
# CONTACT. With CMARK as well, OUT is that Markdown made into one HTML page.
file(READ "${IN}" text)
if(PLATFORM)
  foreach(other windows linux)
    if(NOT other STREQUAL PLATFORM)
      string(REGEX REPLACE "<!-- ${other} -->\n?[^<]*<!-- end -->\n?" "" text "${text}")
    endif()
  endforeach()
  string(REGEX REPLACE "<!-- (${PLATFORM}|end) -->\n?" "" text "${text}")
  if(text MATCHES "<!--")
    message(FATAL_ERROR "${IN}: a passage marker is left over (a \"<\" inside a passage?)")
  endif()
  file(READ "${CONTACT}" contact)
  string(STRIP "${contact}" contact)
  # Whatever the kit's builder wrote is shown as written: Markdown would take
  # a "_", "*", "<" or a leading "1." as markup.
  string(REGEX REPLACE "([][\\\\`*_{}()#+.!|<>&~-])" "\\\\\\1" contact "${contact}")
  string(REPLACE "@BMCUPDATE_SUPPORT_CONTACT@" "${contact}" text "${text}")
endif()
if(CRLF)
  string(REPLACE "\n" "\r\n" text "${text}")
endif()
if(NOT DEFINED CMARK)
  file(WRITE "${OUT}" "${text}")
  return()
endif()

if(NOT EXISTS "${CMARK}")
  message(FATAL_ERROR "cmark-gfm is needed for the kit's guide: scripts/install-deps.sh installs it")
endif()
file(WRITE "${OUT}.md" "${text}")
# Only the table extension: no smart quotes or autolinks, so that the screen
# texts stay exactly as the tool writes them.
execute_process(COMMAND "${CMARK}" --extension table --to html "${OUT}.md"
  OUTPUT_VARIABLE body RESULT_VARIABLE failed ERROR_VARIABLE why)
file(REMOVE "${OUT}.md")
if(failed)
  message(FATAL_ERROR "cmark-gfm failed on ${IN}: ${why}")
endif()
string(REGEX MATCH "<h1>([^<]*)</h1>" title "${body}")
file(WRITE "${OUT}" "<!DOCTYPE html>
<html lang=\"ja\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${CMAKE_MATCH_1}</title>
<style>
body { font-family: sans-serif; line-height: 1.6; max-width: 72em; margin: 1em auto; padding: 0 1em; }
h1 { font-size: 1.5em; border-bottom: 2px solid #444; }
h2 { font-size: 1.25em; border-bottom: 1px solid #888; margin-top: 2em; }
h3 { font-size: 1.05em; margin-top: 1.5em; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #888; padding: 0.3em 0.5em; text-align: left; vertical-align: top; }
th { background: #eee; }
pre { background: #f4f4f4; padding: 0.5em; overflow-x: auto; }
pre, code { font-family: \"MS Gothic\", \"Noto Sans Mono CJK JP\", monospace; }
</style>
</head>
<body>
${body}</body>
</html>
")
