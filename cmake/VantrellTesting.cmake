# SPDX-License-Identifier: GPL-3.0-or-later
# vantrell_add_test(<name> SOURCES <files...> [LIBS <targets...>] [DBUS] [ENV <VAR=value...>] [LABELS <labels...>])
#
# Builds one QtTest executable and registers it with CTest. Every test runs with
# the offscreen platform, a fixed locale and its own temporary XDG directories
# (the test binary sets QStandardPaths test mode itself). DBUS wraps the test in
# dbus-run-session so it gets a private session bus.

function(vantrell_add_test name)
    cmake_parse_arguments(ARG "DBUS" "TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    vantrell_target_defaults(${name})
    target_link_libraries(${name} PRIVATE Qt6::Test vantrell_test_support ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        VANTRELL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        VANTRELL_RECORDED_DATA_DIR="${PROJECT_SOURCE_DIR}/data/recorded"
        VANTRELL_RESOURCES_DIR="${PROJECT_SOURCE_DIR}/resources")

    if(ARG_DBUS)
        set(command dbus-run-session -- $<TARGET_FILE:${name}>)
    else()
        set(command $<TARGET_FILE:${name}>)
    endif()
    add_test(NAME ${name} COMMAND ${command})

    set(env
        "QT_QPA_PLATFORM=offscreen"
        "LANG=C.UTF-8"
        "LC_ALL="
        "LANGUAGE="
        "QT_LOGGING_RULES=*.debug=false"
        "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    list(APPEND env ${ARG_ENV})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
