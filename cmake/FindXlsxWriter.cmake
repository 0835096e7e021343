# Finds libxlsxwriter, the library the spreadsheet export writes .xlsx workbooks with.
#   XlsxWriter_FOUND, XlsxWriter_INCLUDE_DIR, XlsxWriter_LIBRARY and the imported target
#   XlsxWriter::XlsxWriter.
# A static library (the Windows build's, built with MinGW-w64 into a folder of CMAKE_PREFIX_PATH)
# brings its deflate code from zlib, which the target then links as well.
find_path(XlsxWriter_INCLUDE_DIR NAMES xlsxwriter.h)
find_library(XlsxWriter_LIBRARY NAMES xlsxwriter)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(XlsxWriter REQUIRED_VARS XlsxWriter_LIBRARY XlsxWriter_INCLUDE_DIR)
mark_as_advanced(XlsxWriter_INCLUDE_DIR XlsxWriter_LIBRARY)

if(XlsxWriter_FOUND AND NOT TARGET XlsxWriter::XlsxWriter)
  if(XlsxWriter_LIBRARY MATCHES "\\.a$" AND NOT XlsxWriter_LIBRARY MATCHES "\\.dll\\.a$")
    find_package(ZLIB REQUIRED)
    add_library(XlsxWriter::XlsxWriter STATIC IMPORTED)
    set_target_properties(XlsxWriter::XlsxWriter PROPERTIES INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  else()
    add_library(XlsxWriter::XlsxWriter UNKNOWN IMPORTED)
  endif()
  set_target_properties(XlsxWriter::XlsxWriter PROPERTIES
    IMPORTED_LOCATION "${XlsxWriter_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${XlsxWriter_INCLUDE_DIR}")
endif()
