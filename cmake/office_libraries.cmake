# The C libraries of the Word and Excel writers, the workbook reader and
# their tests, as the
# targets korvane::libzip, korvane::xlsxwriter and korvane::libxml2: found
# through pkg-config (Debian), or in a native Windows build through the CMake
# packages that vcpkg installs (vcpkg.json).
function(korvane_library name target)
  add_library(korvane::${name} INTERFACE IMPORTED GLOBAL)
  target_link_libraries(korvane::${name} INTERFACE ${target})
endfunction()

if(WIN32 AND NOT CMAKE_CROSSCOMPILING)
  find_package(libzip CONFIG REQUIRED)
  find_package(xlsxwriter CONFIG REQUIRED)
  korvane_library(libzip libzip::zip)
  korvane_library(xlsxwriter xlsxwriter::xlsxwriter)
  find_package(LibXml2 REQUIRED)
  korvane_library(libxml2 LibXml2::LibXml2)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(KORVANE_LIBZIP REQUIRED IMPORTED_TARGET libzip)
  pkg_check_modules(KORVANE_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  pkg_check_modules(KORVANE_LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
  korvane_library(libzip PkgConfig::KORVANE_LIBZIP)
  korvane_library(xlsxwriter PkgConfig::KORVANE_XLSXWRITER)
  korvane_library(libxml2 PkgConfig::KORVANE_LIBXML2)
endif()
