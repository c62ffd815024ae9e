# Installs, in two components:
#   program      the restaurant program, its manual page, its bash completion
#                and its licence, all that a till needs;
#   development  the library, its headers and a package config, so that
#                another project can find_package(restaurant) and link
#                restaurant::restaurant, and the three check programs.
include(CMakePackageConfigHelpers)

set(package restaurant)
set(config_dir "${CMAKE_INSTALL_LIBDIR}/cmake/${package}")

install(
    TARGETS restaurant_library
    EXPORT restaurantTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT development)
install(TARGETS drinkcheck dishcheck snackcheck RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
                                                        COMPONENT development)

# Headers keep their folders, so "items/Drink.h" resolves the same installed.
foreach(folder IN ITEMS items lists accounts)
    install(
        DIRECTORY "${PROJECT_SOURCE_DIR}/${folder}"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/${package}"
        COMPONENT development
        FILES_MATCHING
        PATTERN "*.h"
        PATTERN "ItemListOperations.h" EXCLUDE)
endforeach()

write_basic_package_version_file("${package}ConfigVersion.cmake" COMPATIBILITY SameMajorVersion)
install(FILES cmake/restaurantConfig.cmake "${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake"
        DESTINATION "${config_dir}" COMPONENT development)
install(EXPORT restaurantTargets NAMESPACE restaurant:: DESTINATION "${config_dir}"
        COMPONENT development)
install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/licenses/${package}"
        COMPONENT development)

if(RESTAURANT_BUILD_PROGRAM)
    install(TARGETS restaurant RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
    install(FILES completion/restaurant.bash
            DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
            RENAME restaurant COMPONENT program)
    # Debian's copyright file: the licence, and what it covers.
    file(READ LICENSE licence)
    file(WRITE "${PROJECT_BINARY_DIR}/copyright"
         "restaurant: the till of a restaurant.\n\n"
         "It links libcsv dynamically, under the LGPL-2.1, whose text is in\n"
         "/usr/share/common-licenses/LGPL-2.1, and CLI11 (BSD-3-Clause), SQLiteCpp (MIT),\n"
         "SQLite (public domain) and libedit (BSD-3-Clause), each under its own licence.\n\n"
         "${licence}")
    install(FILES "${PROJECT_BINARY_DIR}/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}"
            COMPONENT program)
endif()
