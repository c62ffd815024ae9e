include("${CMAKE_CURRENT_LIST_DIR}/restaurantTargets.cmake")
