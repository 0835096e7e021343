# Finds dxflib, the library the drawing import reads DXF drawings with.
#   Dxflib_FOUND, Dxflib_INCLUDE_DIR, Dxflib_LIBRARY and the imported target Dxflib::Dxflib.
# Its headers stand in a folder of their own (dxflib/dl_dxf.h) on Debian and in the Windows build's
# libraries (scripts/windows-libs, a folder of CMAKE_PREFIX_PATH); the target's include folder is
# that one, so the sources include <dl_dxf.h> as the library's own headers include each other.
find_path(Dxflib_INCLUDE_DIR NAMES dl_dxf.h PATH_SUFFIXES dxflib)
find_library(Dxflib_LIBRARY NAMES dxflib)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Dxflib REQUIRED_VARS Dxflib_LIBRARY Dxflib_INCLUDE_DIR)
mark_as_advanced(Dxflib_INCLUDE_DIR Dxflib_LIBRARY)

if(Dxflib_FOUND AND NOT TARGET Dxflib::Dxflib)
  add_library(Dxflib::Dxflib UNKNOWN IMPORTED)
  set_target_properties(Dxflib::Dxflib PROPERTIES
    IMPORTED_LOCATION "${Dxflib_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${Dxflib_INCLUDE_DIR}")
endif()
