# SPDX-License-Identifier: GPL-3.0-or-later
# vantrell_add_test(<name> SOURCES <files...> [LIBS <targets...>] [DBUS] [ENV <VAR=value...>] [LABELS <labels...>])
#
# Builds one QtTest executable and registers it with CTest. Every test runs with
# the offscreen platform, a fixed locale and its own temporary XDG directories
# (the test binary sets QStandardPaths test mode itself). DBUS wraps the test in
# dbus-run-session so it gets a private session bus, one that starts none of
# the services installed on the machine; every other test is kept off any bus.

# The private bus's configuration, for every test that starts one.
set(VANTRELL_TEST_BUS_CONFIG "${PROJECT_SOURCE_DIR}/tests/support/session-bus.conf")

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
        set(command dbus-run-session --config-file=${VANTRELL_TEST_BUS_CONFIG} -- $<TARGET_FILE:${name}>)
        set(bus_env)
    else()
        set(command $<TARGET_FILE:${name}>)
        # Not the developer's own session bus, where the desktop's services answer.
        set(bus_env "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/vantrell-test-bus")
    endif()
    add_test(NAME ${name} COMMAND ${command})

    set(env
        "QT_QPA_PLATFORM=offscreen"
        "LANG=C.UTF-8"
        "LC_ALL="
        "LANGUAGE="
        "QT_LOGGING_RULES=*.debug=false"
        "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        ${bus_env})
    list(APPEND env ${ARG_ENV})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
