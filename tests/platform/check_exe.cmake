# cmake -DEXE=<exe> -DOBJDUMP=<objdump> -P check_exe.cmake: fails unless the
# exe embeds a manifest asking for the invoking user's own privilege level,
# or when it needs a MinGW runtime DLL, which a bare Windows PC does not have.
file(STRINGS "${EXE}" levels REGEX "requestedExecutionLevel[ \t]+level=\"[A-Za-z]+\"")
if(NOT levels MATCHES "requestedExecutionLevel[ \t]+level=\"asInvoker\"")
  message(FATAL_ERROR "${EXE}: no manifest with requestedExecutionLevel asInvoker (found: '${levels}')")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(failed OR NOT imports MATCHES "KERNEL32")
  message(FATAL_ERROR "no import table read from ${EXE}: '${imports}'")
endif()
string(TOLOWER "${imports}" lowered)
if(lowered MATCHES "libstdc\\+\\+-6\\.dll|libgcc_s_[a-z0-9_]+-1\\.dll|libwinpthread-1\\.dll")
  message(FATAL_ERROR "${EXE} imports a MinGW runtime DLL: ${imports}")
endif()
message(STATUS "${levels}; imports: ${imports}")
