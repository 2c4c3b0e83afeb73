# libxlsxwriter, which writes the review workbooks: Debian's library natively; for Windows a static
# build of the same version (scripts/build-xlsxwriter-windows.sh puts it into third_party/xlsxwriter)
# with the static zlib of Debian's mingw-w64 packages.
if(CMAKE_CROSSCOMPILING)
  set(XLSXWRITER_DIR "${PROJECT_SOURCE_DIR}/third_party/xlsxwriter" CACHE PATH "include/ and lib/ of libxlsxwriter")
  if(NOT EXISTS "${XLSXWRITER_DIR}/lib/libxlsxwriter.a")
    message(FATAL_ERROR "No libxlsxwriter in ${XLSXWRITER_DIR}; run scripts/build-xlsxwriter-windows.sh")
  endif()
  find_library(MINGW_STATIC_ZLIB NAMES libz.a REQUIRED)
  add_library(XlsxWriter::XlsxWriter STATIC IMPORTED GLOBAL)
  set_target_properties(XlsxWriter::XlsxWriter PROPERTIES
    IMPORTED_LOCATION "${XLSXWRITER_DIR}/lib/libxlsxwriter.a"
    INTERFACE_INCLUDE_DIRECTORIES "${XLSXWRITER_DIR}/include"
    INTERFACE_LINK_LIBRARIES "${MINGW_STATIC_ZLIB}")
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET GLOBAL xlsxwriter)
  add_library(XlsxWriter::XlsxWriter ALIAS PkgConfig::XLSXWRITER)
endif()
