# cmake -DEXE=<exe> -DOBJDUMP=<objdump> -P check_imports.cmake: fails when
# the exe needs a MinGW runtime DLL, which a bare Windows PC does not have.
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}"
  OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports MATCHES "KERNEL32")
  message(FATAL_ERROR "no import table read from ${EXE}: '${imports}'")
endif()
foreach(runtime libstdc\\+\\+-6\\.dll libgcc_s_[a-z0-9_]+-1\\.dll libwinpthread-1\\.dll)
  string(TOLOWER "${imports}" lowered)
  if(lowered MATCHES "${runtime}")
    message(FATAL_ERROR "${EXE} imports a MinGW runtime DLL: ${imports}")
  endif()
endforeach()
message(STATUS "imports: ${imports}")
