# cmake -DEXE=<exe> -P check_manifest.cmake: fails unless the exe embeds a
# manifest that asks for the invoking user's own privilege level.
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "no such file: ${EXE}")
endif()
file(STRINGS "${EXE}" levels REGEX "requestedExecutionLevel[ \t]+level=\"[A-Za-z]+\"")
if(NOT levels MATCHES "requestedExecutionLevel[ \t]+level=\"asInvoker\"")
  message(FATAL_ERROR "${EXE}: no manifest with requestedExecutionLevel asInvoker (found: '${levels}')")
endif()
message(STATUS "manifest: ${levels}")
