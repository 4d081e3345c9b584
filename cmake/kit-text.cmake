# cmake -DIN=<file> -DOUT=<file> [-DPLATFORM=windows|linux] [-DCRLF=ON]
#       [-DICONV=<iconv>] -P kit-text.cmake
# Writes a text file of the release kit. With PLATFORM, IN is the operator's
# guide: passages between "<!-- windows -->" or "<!-- linux -->" and
# "<!-- end -->" (holding no "<") stay only in that platform's guide. CRLF
# ends lines with CR LF; ICONV converts the text to code page 932.
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
endif()
if(CRLF)
  string(REPLACE "\n" "\r\n" text "${text}")
endif()
if(NOT ICONV)
  file(WRITE "${OUT}" "${text}")
  return()
endif()
file(WRITE "${OUT}.utf-8" "${text}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP932 INPUT_FILE "${OUT}.utf-8" OUTPUT_FILE "${OUT}"
  RESULT_VARIABLE failed ERROR_VARIABLE why)
file(REMOVE "${OUT}.utf-8")
if(failed)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "${IN}: not representable in code page 932: ${why}")
endif()
