# The Qt files a Windows build needs beside its programs: the DLLs they link,
# the plugins Qt loads from <program folder>/<kind>/, qt.conf and Qt's
# Chinese texts. Copied into the build's bin folder (so that the tests run
# there) and installed into the program folder of the setup and the portable
# zip. Nothing else of Qt is
# shipped; the MinGW-w64 runtime is linked into every DLL and program.
get_target_property(KORVANE_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT KORVANE_QT_CORE_DLL)
  get_target_property(KORVANE_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(KORVANE_QT_BIN ${KORVANE_QT_CORE_DLL} DIRECTORY)
get_filename_component(KORVANE_QT_PLUGINS ${KORVANE_QT_BIN}/../plugins ABSOLUTE)

set(KORVANE_QT_DLLS Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Network)
# platforms/qwindows: the window system; qoffscreen: none (tests);
# styles: the native look.
set(KORVANE_QT_PLUGIN_FILES platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll)

foreach(dll IN LISTS KORVANE_QT_DLLS ITEMS Qt6Test)
  file(COPY ${KORVANE_QT_BIN}/${dll}.dll DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
endforeach()
foreach(plugin IN LISTS KORVANE_QT_PLUGIN_FILES)
  get_filename_component(kind ${plugin} DIRECTORY)
  file(COPY ${KORVANE_QT_PLUGINS}/${plugin} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${kind})
  install(FILES ${KORVANE_QT_PLUGINS}/${plugin} DESTINATION ${kind})
endforeach()
# qt.conf tells Qt where its plugins and translations are (beside the
# program); Qt's standard dialogs in Chinese are the same 6.4 texts as
# Debian's qt6-translations-l10n.
set(KORVANE_QT_CONF ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf)
set(KORVANE_QT_TRANSLATION /usr/share/qt6/translations/qtbase_zh_CN.qm)
if(NOT EXISTS ${KORVANE_QT_TRANSLATION})
  message(FATAL_ERROR "Qt's Chinese texts are missing: ${KORVANE_QT_TRANSLATION} (Debian: qt6-translations-l10n)")
endif()
file(COPY ${KORVANE_QT_CONF} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
file(COPY ${KORVANE_QT_TRANSLATION} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations)
install(FILES ${KORVANE_QT_CONF} DESTINATION .)
install(FILES ${KORVANE_QT_TRANSLATION} DESTINATION translations)
list(TRANSFORM KORVANE_QT_DLLS PREPEND ${KORVANE_QT_BIN}/)
list(TRANSFORM KORVANE_QT_DLLS APPEND .dll)
install(FILES ${KORVANE_QT_DLLS} DESTINATION .)

# korvane_windows_resources(TARGET DESCRIPTION): the icon, the manifest and
# the version information of a Windows program.
function(korvane_windows_resources target description)
  set(KORVANE_WINDOWS_PACKAGING ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(KORVANE_FILE_DESCRIPTION "${description}")
  set(KORVANE_FILE_NAME ${target}.exe)
  configure_file(${KORVANE_WINDOWS_PACKAGING}/korvane.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
