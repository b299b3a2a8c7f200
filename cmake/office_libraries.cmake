# The C libraries of the Word and Excel writers, the workbook reader and
# their tests, as the
# targets korvane::libzip, korvane::xlsxwriter and korvane::libxml2: found
# through pkg-config (Debian), in a native Windows build through the CMake
# packages that vcpkg installs (vcpkg.json), and in the MinGW-w64 cross-build
# as the static libraries that tools/windows-deps.sh builds (found through
# the toolchain's KORVANE_WINDOWS_PREFIXES) with Debian's static zlib.
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
elseif(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  # korvane_static_library(NAME HEADER LIBRARY DEFINITION LINKS...)
  function(korvane_static_library name header library definition)
    string(TOUPPER ${name} upper)
    find_path(KORVANE_${upper}_INCLUDE_DIR ${header} PATH_SUFFIXES libxml2 REQUIRED)
    find_library(KORVANE_${upper}_LIBRARY NAMES lib${library}.a REQUIRED)
    add_library(korvane::${name} STATIC IMPORTED GLOBAL)
    set_target_properties(korvane::${name} PROPERTIES IMPORTED_LOCATION ${KORVANE_${upper}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${KORVANE_${upper}_INCLUDE_DIR}
      INTERFACE_COMPILE_DEFINITIONS "${definition}" INTERFACE_LINK_LIBRARIES "${ARGN}")
  endfunction()
  # Static libzip and libxml2 are declared without dllimport by these macros.
  korvane_static_library(libzip zip.h zip ZIP_STATIC ZLIB::ZLIB advapi32 bcrypt)
  korvane_static_library(xlsxwriter xlsxwriter.h xlsxwriter "" ZLIB::ZLIB)
  korvane_static_library(libxml2 libxml/parser.h xml2 LIBXML_STATIC ws2_32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(KORVANE_LIBZIP REQUIRED IMPORTED_TARGET libzip)
  pkg_check_modules(KORVANE_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  pkg_check_modules(KORVANE_LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
  korvane_library(libzip PkgConfig::KORVANE_LIBZIP)
  korvane_library(xlsxwriter PkgConfig::KORVANE_XLSXWRITER)
  korvane_library(libxml2 PkgConfig::KORVANE_LIBXML2)
endif()
