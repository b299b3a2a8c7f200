# The program folder of the Windows setup and the portable zip
# (./dev.sh package windows installs this build into a staging folder and
# packs it with NSIS, packaging/windows/korvane.nsi): the two programs, Qt's
# files (windows_runtime.cmake), the examples and the licences.
set(KORVANE_WINDOWS_PACKAGING ${PROJECT_SOURCE_DIR}/packaging/windows)
install(FILES ${KORVANE_WINDOWS_PACKAGING}/THIRD-PARTY.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION . RENAME COPYRIGHT.txt)
if(EXISTS /usr/share/common-licenses/LGPL-3)
  install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.txt)
endif()
file(GLOB KORVANE_EXAMPLES ${PROJECT_SOURCE_DIR}/samples/*.SH? ${PROJECT_SOURCE_DIR}/samples/*.csv)
install(FILES ${KORVANE_EXAMPLES} DESTINATION examples)
