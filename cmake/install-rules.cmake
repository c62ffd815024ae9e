# Installs the library, its headers and a package config, so that another
# project can find_package(restaurant) and link restaurant::restaurant.
include(CMakePackageConfigHelpers)

set(package restaurant)
set(config_dir "${CMAKE_INSTALL_LIBDIR}/cmake/${package}")

install(
    TARGETS restaurant_library
    EXPORT restaurantTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS drinkcheck dishcheck snackcheck RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(RESTAURANT_BUILD_PROGRAM)
    install(TARGETS restaurant RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Headers keep their folders, so "items/Drink.h" resolves the same installed.
foreach(folder IN ITEMS items lists accounts)
    install(
        DIRECTORY "${PROJECT_SOURCE_DIR}/${folder}"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/${package}"
        FILES_MATCHING
        PATTERN "*.h"
        PATTERN "ItemListOperations.h" EXCLUDE)
endforeach()

write_basic_package_version_file("${package}ConfigVersion.cmake" COMPATIBILITY SameMajorVersion)
install(FILES cmake/restaurantConfig.cmake "${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake"
        DESTINATION "${config_dir}")
install(EXPORT restaurantTargets NAMESPACE restaurant:: DESTINATION "${config_dir}")
