# The AT-command workbook (import and export of .xlsx files) lives in ulvcore:
# libxlsxwriter writes, libzip unpacks for the reader. The fuzz build finds
# neither at the top level, so look them up here when needed.
if(NOT TARGET PkgConfig::XLSXWRITER)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
endif()
if(NOT TARGET PkgConfig::LIBZIP)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
endif()
target_link_libraries(ulvcore PUBLIC PkgConfig::XLSXWRITER PkgConfig::LIBZIP)
