# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source folder includes a folder it may not: the layering the
# README draws, checked on every file under src/. Run as
#   cmake -DSOURCE_DIR=<project>/src -P CheckLayering.cmake
#
# An include "folder/file.h" names the folder it reaches. The shared folders
# (platform, settings, market, i18n, widgetkit) sit below everything; the
# application's folders may reach the ones listed for them; shell/ composes
# them all and nothing reaches it.

cmake_minimum_required(VERSION 3.25)

set(shared platform settings i18n market widgetkit)
# Within shared/: each folder and what lies below it.
set(allowed_platform "")
set(allowed_settings platform)
set(allowed_i18n platform settings)
set(allowed_market platform settings)
set(allowed_widgetkit platform settings i18n market)
# The application's folders, on top of the shared ones. settingsstore/ keeps
# the record (shared settings/) on disk and publishes it to the rest.
set(allowed_settingsstore ${shared})
set(app_base ${shared} settingsstore)
set(allowed_alerts ${app_base})
set(allowed_updates ${app_base})
set(allowed_coinlist ${app_base} alerts)
set(allowed_ui ${app_base} coinlist)
set(allowed_logos ${app_base} coinlist)
set(allowed_overlay ${app_base} coinlist)
set(allowed_widgetsync ${app_base} coinlist tray)
set(allowed_tray ${app_base} coinlist alerts updates)
set(allowed_popover ${app_base} coinlist logos ui updates)
set(allowed_settingswindow ${app_base} coinlist ui updates)
set(allowed_watchlist ${app_base} coinlist logos ui)
set(app_folders settingsstore alerts updates coinlist ui logos overlay widgetsync tray popover settingswindow watchlist shell)
set(allowed_shell ${shared} ${app_folders})
# The programs and tools outside the application.
set(allowed_desktop ${shared})
set(allowed_widgets ${shared})
set(allowed_widgethost ${shared})
set(allowed_fakemarket ${shared})
set(allowed_trayiconsheet ${shared} tray)
set(allowed_main ${shared} shell)
set(known ${shared} ${app_folders})

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h")
set(violations)
foreach(source IN LISTS sources)
    # The folder a file belongs to: shared/<f>, app/<f>, tools/<f>, or the
    # program's folder itself (widgets, widgethost, desktop); app/main.cpp is
    # the program around the shell.
    string(REPLACE "/" ";" parts "${source}")
    list(GET parts 0 area)
    list(LENGTH parts depth)
    if(source STREQUAL "app/main.cpp")
        set(folder main)
    elseif(area STREQUAL "shared" OR area STREQUAL "app" OR area STREQUAL "tools")
        list(GET parts 1 folder)
    else()
        set(folder ${area})
    endif()
    if(NOT DEFINED allowed_${folder})
        list(APPEND violations "${source}: folder '${folder}' has no place in the layering")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"[a-z0-9]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([a-z0-9]+)/.*" "\\1" reached "${line}")
        if(reached STREQUAL folder OR NOT reached IN_LIST known)
            continue()
        endif()
        if(NOT reached IN_LIST allowed_${folder})
            list(APPEND violations "${source}: ${folder}/ may not include ${reached}/ (${line})")
        endif()
    endforeach()
endforeach()

list(LENGTH sources checked)
if(violations)
    list(JOIN violations "\n" text)
    message(FATAL_ERROR "Includes across the layering:\n${text}")
endif()
message(STATUS "Layering holds in ${checked} files")
