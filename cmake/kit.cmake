# The release kit, made by `--target package`: one folder bmcupdate-VERSION/
# with the tool (on Linux with its icmd.exe), the operator's guide in
# Japanese and the notices of what is linked into the tool statically.
set(KIT_FOLDER bmcupdate-${PROJECT_VERSION})
set(BMCUPDATE_SUPPORT_CONTACT "【お問い合わせ先：このキットの配布元が、ここに名前と連絡先を記入します】"
  CACHE STRING "The service desk that the kit's guide names (name, phone, mail): set it when you build a kit")
# Through a file, so that any text passes to the guide's script intact, and
# the guide is made again when the contact changes.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/kit/contact.txt CONTENT "@BMCUPDATE_SUPPORT_CONTACT@\n" @ONLY)
find_program(CMARK_GFM cmark-gfm)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME bmcupdate-${PROJECT_VERSION}-win64)
  set(KIT_PLATFORM windows)
  # The exe holds libstdc++ and libgcc (GCC's runtime library exception)
  # and the MinGW-w64 runtime with winpthreads (ZPL, MIT and others).
  set(kit_notices
    gcc-runtime.txt /usr/share/doc/gcc-mingw-w64-base/copyright
    mingw-w64-runtime.txt /usr/share/doc/mingw-w64-x86-64-dev/copyright)
  install(TARGETS bmcupdate DESTINATION ${KIT_FOLDER})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME bmcupdate-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(KIT_PLATFORM linux)
  # Both programs link only the C library, and that dynamically; what GCC
  # links in statically falls under its runtime library exception. No notices.
  set(kit_notices)
  install(TARGETS bmcupdate icmd-ipmitool DESTINATION ${KIT_FOLDER})
endif()

# The guide as a page for any browser. Linux also gets its Markdown as text,
# for a terminal without a browser (over SSH); Windows does not: Notepad
# would show the tables' raw "|" lines.
set(guide_options -DIN=${CMAKE_SOURCE_DIR}/docs/guide-ja.md -DPLATFORM=${KIT_PLATFORM}
    -DCONTACT=${CMAKE_BINARY_DIR}/kit/contact.txt)
set(guide_depends docs/guide-ja.md cmake/kit-text.cmake ${CMAKE_BINARY_DIR}/kit/contact.txt)
set(kit_guides ${CMAKE_BINARY_DIR}/kit/guide-ja.html)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kit/guide-ja.html
  COMMAND ${CMAKE_COMMAND} ${guide_options} -DOUT=${CMAKE_BINARY_DIR}/kit/guide-ja.html
          -DCMARK=${CMARK_GFM} -P ${CMAKE_SOURCE_DIR}/cmake/kit-text.cmake
  DEPENDS ${guide_depends}
  COMMENT "Writing the operator's guide of the kit")
if(KIT_PLATFORM STREQUAL linux)
  list(APPEND kit_guides ${CMAKE_BINARY_DIR}/kit/guide-ja.txt)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kit/guide-ja.txt
    COMMAND ${CMAKE_COMMAND} ${guide_options} -DOUT=${CMAKE_BINARY_DIR}/kit/guide-ja.txt
            -P ${CMAKE_SOURCE_DIR}/cmake/kit-text.cmake
    DEPENDS ${guide_depends})
endif()
set(kit_files ${kit_guides})
install(FILES ${kit_guides} DESTINATION ${KIT_FOLDER})
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
