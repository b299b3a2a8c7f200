# The Debian package (./dev.sh package): what goes where under /usr, and the
# package's control fields. Native Linux builds only.
include(GNUInstallDirs)

set(KORVANE_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KORVANE_GENERATED ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${KORVANE_GENERATED})
find_program(KORVANE_GZIP gzip REQUIRED)

# A native package: its Debian changelog is doc/korvane/changelog.gz.
# Manual pages (gzip -n: no time stamp, so that the package is reproducible)
# and the bash completion. korvane-cli's page and completion come from its
# own help table (korvane-cli --man, --bash-completion).
configure_file(${KORVANE_PACKAGING}/linux/korvane.1 ${KORVANE_GENERATED}/korvane.1 @ONLY)
add_custom_command(OUTPUT ${KORVANE_GENERATED}/korvane.1.gz
  COMMAND ${KORVANE_GZIP} -9nc ${KORVANE_GENERATED}/korvane.1 > ${KORVANE_GENERATED}/korvane.1.gz
  DEPENDS ${KORVANE_GENERATED}/korvane.1 VERBATIM)
add_custom_command(OUTPUT ${KORVANE_GENERATED}/korvane-cli.1.gz ${KORVANE_GENERATED}/korvane-cli.bash
  COMMAND $<TARGET_FILE:korvane-cli> --man > ${KORVANE_GENERATED}/korvane-cli.1
  COMMAND ${KORVANE_GZIP} -9nc ${KORVANE_GENERATED}/korvane-cli.1 > ${KORVANE_GENERATED}/korvane-cli.1.gz
  COMMAND $<TARGET_FILE:korvane-cli> --bash-completion > ${KORVANE_GENERATED}/korvane-cli.bash
  DEPENDS korvane-cli VERBATIM)
configure_file(${KORVANE_PACKAGING}/debian/changelog ${KORVANE_GENERATED}/changelog @ONLY)
add_custom_command(OUTPUT ${KORVANE_GENERATED}/changelog.gz
  COMMAND ${KORVANE_GZIP} -9nc ${KORVANE_GENERATED}/changelog > ${KORVANE_GENERATED}/changelog.gz
  DEPENDS ${KORVANE_GENERATED}/changelog VERBATIM)
add_custom_target(korvane_package_files ALL
  DEPENDS ${KORVANE_GENERATED}/korvane.1.gz ${KORVANE_GENERATED}/korvane-cli.1.gz
          ${KORVANE_GENERATED}/korvane-cli.bash ${KORVANE_GENERATED}/changelog.gz)

install(FILES ${KORVANE_GENERATED}/korvane.1.gz ${KORVANE_GENERATED}/korvane-cli.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORVANE_GENERATED}/korvane-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME korvane-cli)
install(FILES ${KORVANE_PACKAGING}/debian/copyright ${KORVANE_GENERATED}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvane)
file(GLOB KORVANE_EXAMPLES ${PROJECT_SOURCE_DIR}/samples/*.SH? ${PROJECT_SOURCE_DIR}/samples/*.csv)
install(FILES ${KORVANE_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane/examples)

# ---- The package ---------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "concrete strength by the ultrasonic-rebound combined method")
# The synopsis is the summary above; CPack indents each line of the body and
# turns an empty line into the " ." Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Korvane reads the data files of a field ultrasonic tester (rebound readings,
ultrasonic waveforms), lets an engineer review every test zone, computes
zone, member and batch strengths by any of ten Chinese standards, and prints
the laboratory's reports or writes them as PDF, Word, Excel and BMP files.

The package holds the desktop program korvane and the command-line tool
korvane-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.example.org")
set(CPACK_STRIP_FILES ON)
# The libraries the binaries link (dpkg-shlibdeps), and what the program
# loads that no library names: the report fonts (Arial and Times New Roman
# as Liberation; 宋体, 仿宋, 隶书 as AR PL UMing, 楷体 as AR PL UKai, 黑体 as
# WenQuanYi Zen Hei), Qt's own Chinese texts and the platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-liberation2, fonts-arphic-uming, fonts-arphic-ukai, fonts-wqy-zenhei, qt6-translations-l10n, qt6-qpa-plugins")
# Printing through CUPS; LibreOffice opens the Word and Excel files written.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, libreoffice-writer, libreoffice-calc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
