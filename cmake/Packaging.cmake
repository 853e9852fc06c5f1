# Desktop integration, manual pages and the Debian package.
# Everything the programs read at run time is installed under share/corvane
# by the subsystems' own install() rules; this file adds what the desktop
# and the package manager need.
include(GNUInstallDirs)

set(_linux ${PROJECT_SOURCE_DIR}/resources/linux)
set(CORVANE_APP_ID dev.corvane.Corvane)

install(FILES ${_linux}/${CORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${_linux}/${CORVANE_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${CORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${CORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_linux}/${CORVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${_linux}/icon-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${CORVANE_APP_ID}.png)
endforeach()

# Manual pages written from each program's own --help, so they never drift.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(_man_pages)
  set(_man_programs
    "corvane|serial-port workbench for engineers talking to devices"
    "corvane-send|send a file over a serial port (text, raw, XMODEM, YMODEM, ZMODEM)"
    "corvane-demo-device|simulated serial device on a pseudo-terminal")
  if(TARGET corvane-run)
    list(APPEND _man_programs "corvane-run|run a Lua test script against a serial device")
  endif()
  foreach(entry ${_man_programs})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 program)
    list(GET parts 1 summary)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANG=C QT_QPA_PLATFORM=offscreen
              ${HELP2MAN} --no-info --no-discard-stderr --name=${summary} --output=${page} $<TARGET_FILE:${program}>
      DEPENDS ${program}
      COMMENT "Writing the manual page of ${program}"
      VERBATIM)
    list(APPEND _man_pages ${page})
  endforeach()
  add_custom_target(corvane_man_pages ALL DEPENDS ${_man_pages})
  install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual pages")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_CONTACT "The Corvane developers <dev@corvane.dev>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for engineers who talk to devices over a serial port")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvane shows every byte a device sends over a serial port, as text or hex, with\n"
    "timestamps and rule-driven colours, plots the numbers it prints on sixteen channels,\n"
    "builds frames with checksums from protocol definitions, sends files with XMODEM,\n"
    "YMODEM or ZMODEM, reconnects when the device is unplugged and comes back, and runs\n"
    "Lua test scripts. Command-line tools: corvane-send, corvane-run, corvane-demo-device.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${_linux}/copyright)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://corvane.dev/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by shlibdeps: the platform plugin, fonts the interface falls back
# on, and the receivers the demo device hands files to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-noto-cjk | fonts-wqy-microhei, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "lrzsz, qt6-translations-l10n")
install(FILES ${_linux}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)
include(CPack)
