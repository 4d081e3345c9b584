# Packs the kit with CPack; fails unless archive ZIP unpacks to exactly
# KIT/FILES. With RUN (Windows), also unless the exe carries its version
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
