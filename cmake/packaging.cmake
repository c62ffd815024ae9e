# A Debian package of the program for a till's computer, made by CPack:
#   cd build/release && cpack -G DEB
# gives restaurant_<version>_<arch>.deb. Its dependencies are what
# dpkg-shlibdeps finds the program needs; the library's development files
# stay in the CMake install.
set(CPACK_PACKAGE_NAME restaurant)
set(CPACK_PACKAGE_VENDOR "The restaurant authors")
set(CPACK_PACKAGE_CONTACT "The restaurant authors <restaurant@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "till of a restaurant: orders, sales journal, daily accounts")
# CPack puts the summary first; this is the rest.
string(CONCAT CPACK_DEBIAN_PROGRAM_DESCRIPTION
       "restaurant is the program a restaurant runs all day at its till. It sells\n"
       "from the restaurant's own menu, read from a spreadsheet's CSV file, keeps\n"
       "every sale in an SQLite journal that survives any crash, and prints the\n"
       "day's report, a close-of-day summary, receipts and an export for the\n"
       "accountant. restaurant serve makes the till a web page for every tablet\n"
       "and phone in the room; a systemd unit runs it as its own user.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_COMPONENTS_ALL program)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME restaurant)
set(CPACK_DEBIAN_PROGRAM_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# postinst makes the web till's system user with adduser.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/restaurant")

include(CPack)
