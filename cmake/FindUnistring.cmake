# Finds GNU libunistring, Unicode text functions (Debian: libunistring-dev),
# and defines the imported target Unistring::Unistring.
find_path(Unistring_INCLUDE_DIR unicase.h)
find_library(Unistring_LIBRARY NAMES unistring)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(
    Unistring REQUIRED_VARS Unistring_LIBRARY Unistring_INCLUDE_DIR
    REASON_FAILURE_MESSAGE
        "libunistring folds and measures names: install it with apt-get install libunistring-dev")
mark_as_advanced(Unistring_INCLUDE_DIR Unistring_LIBRARY)

if(Unistring_FOUND AND NOT TARGET Unistring::Unistring)
    add_library(Unistring::Unistring UNKNOWN IMPORTED)
    set_target_properties(Unistring::Unistring PROPERTIES IMPORTED_LOCATION "${Unistring_LIBRARY}"
                                                          INTERFACE_INCLUDE_DIRECTORIES "${Unistring_INCLUDE_DIR}")
endif()
