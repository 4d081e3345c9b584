# cmake -DEXE=<exe> -DOBJDUMP=<objdump> -P check_exe.cmake
file(STRINGS "${EXE}" manifest REGEX "requestedExecutionLevel")
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT manifest MATCHES "level=\"asInvoker\"" OR NOT imports MATCHES "KERNEL32"
   OR imports MATCHES "(libstdc\\+\\+|libgcc_s|libwinpthread)[^ ]*\\.dll")
  message(FATAL_ERROR "${EXE}: manifest '${manifest}', imports '${imports}'")
endif()
