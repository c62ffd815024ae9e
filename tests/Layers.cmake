# Checks that each folder of the program uses only the folders the table
# below lets it use, in its #include lines and in the targets it links:
#   cmake -DSOURCE_DIR=... -DLINKS=links.txt -P tests/Layers.cmake
# LINKS lists, a line each, a folder, one of its targets and a folder whose
# target it links, as tests/CMakeLists.txt writes them at configure time.
# BREACH, as FOLDER:USED, adds an include and a link that break the table,
# for the test that proves a breach fails.

# What each folder may use. "library" is the bundle of items, lists and
# accounts; it is adapted for the program in console/ alone.
cmake_minimum_required(VERSION 3.21)

set(uses_items "")
set(uses_lists items)
set(uses_accounts lists items)
set(uses_checks items)
set(uses_base "")
set(uses_csv base)
set(uses_menu csv base)
set(uses_journal menu base)
set(uses_service journal menu base)
set(uses_reports service journal menu csv base)
set(uses_console reports service journal menu base accounts lists items library)
set(uses_kitchen service journal menu base)
set(uses_control service journal menu base)
set(uses_group service journal menu base)
set(uses_web reports service journal menu base)
set(uses_app console web kitchen control group reports service journal menu csv base)
set(folders items lists accounts checks base csv menu journal service reports kitchen control
            group console web app)

set(failures "")
function(check folder used what)
    list(FIND folders ${used} known)
    if(known LESS 0 AND NOT used STREQUAL "library")
        return()
    endif()
    if(NOT used STREQUAL folder AND NOT used IN_LIST uses_${folder})
        set(failures "${failures}\n${folder} may not use ${used}: ${what}" PARENT_SCOPE)
    endif()
endfunction()

foreach(folder IN LISTS folders)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
        foreach(include IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" used "${include}")
            check(${folder} ${used} "${source}: ${include}")
        endforeach()
    endforeach()
endforeach()

file(STRINGS "${LINKS}" links)
if(NOT links)
    message(FATAL_ERROR "${LINKS} lists no links: the check would prove nothing")
endif()
foreach(link IN LISTS links)
    string(REPLACE " " ";" parts "${link}")
    list(GET parts 0 folder)
    list(GET parts 1 target)
    list(GET parts 2 used)
    check(${folder} ${used} "target ${target} links ${used}")
endforeach()

if(BREACH)
    string(REPLACE ":" ";" breach "${BREACH}")
    list(GET breach 0 folder)
    list(GET breach 1 used)
    check(${folder} ${used} "an include added to prove the check")
    check(${folder} ${used} "a link added to prove the check")
endif()

if(failures)
    message(FATAL_ERROR "uses that break the table of layers:${failures}")
endif()
list(LENGTH links count)
message(STATUS "every include and every one of ${count} links keeps to the table of layers")
