# The release kit, made by `--target package`: one folder bmcupdate-VERSION/
# with the tool (on Linux with its icmd.exe), the operator's guide in
# Japanese and the notices of what is linked into the tool statically.
set(KIT_FOLDER bmcupdate-${PROJECT_VERSION})
set(KIT_GUIDE ${CMAKE_BINARY_DIR}/kit/guide-ja.txt)

if(WIN32)
  find_program(ICONV iconv REQUIRED)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME bmcupdate-${PROJECT_VERSION}-win64)
  # Notepad on a Japanese PC: CR LF, and code page 932 for the guide.
  set(kit_options -DPLATFORM=windows -DCRLF=ON -DICONV=${ICONV})
  # The exe holds libstdc++ and libgcc (GCC's runtime library exception)
  # and the MinGW-w64 runtime with winpthreads (ZPL, MIT and others).
  set(kit_notices
    gcc-runtime.txt /usr/share/doc/gcc-mingw-w64-base/copyright
    mingw-w64-runtime.txt /usr/share/doc/mingw-w64-x86-64-dev/copyright)
  install(TARGETS bmcupdate DESTINATION ${KIT_FOLDER})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME bmcupdate-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(kit_options -DPLATFORM=linux)
  # Both programs link only the C library, and that dynamically; what GCC
  # links in statically falls under its runtime library exception. No notices.
  set(kit_notices)
  install(TARGETS bmcupdate icmd-ipmitool DESTINATION ${KIT_FOLDER})
endif()

add_custom_command(OUTPUT ${KIT_GUIDE}
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/docs/guide-ja.md -DOUT=${KIT_GUIDE}
          ${kit_options} -P ${CMAKE_SOURCE_DIR}/cmake/kit-text.cmake
  DEPENDS docs/guide-ja.md cmake/kit-text.cmake
  COMMENT "Writing the operator's guide of the kit")
set(kit_files ${KIT_GUIDE})
install(FILES ${KIT_GUIDE} DESTINATION ${KIT_FOLDER})
while(kit_notices)
  list(POP_FRONT kit_notices name source)
  set(notice ${CMAKE_BINARY_DIR}/kit/licenses/${name})
  add_custom_command(OUTPUT ${notice}
    COMMAND ${CMAKE_COMMAND} -DIN=${source} -DOUT=${notice} -DCRLF=ON
            -P ${CMAKE_SOURCE_DIR}/cmake/kit-text.cmake
    DEPENDS ${source} cmake/kit-text.cmake)
  list(APPEND kit_files ${notice})
  install(FILES ${notice} DESTINATION ${KIT_FOLDER}/licenses)
endwhile()
add_custom_target(kit_texts ALL DEPENDS ${kit_files})

# The archive's own name differs from its one folder's, so CPack adds no
# folder of its own: the install rules above name it.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
