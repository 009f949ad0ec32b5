# SPDX-License-Identifier: GPL-3.0-or-later
# The documentation installed with the programs. Each program's manual page is
# made by help2man from the program's own --help and --version, so the page
# and the help never disagree; the copyright file and the changelog are the
# ones a Debian package carries (/usr/share/doc/vantrell).

find_program(VANTRELL_HELP2MAN help2man REQUIRED)
find_program(VANTRELL_GZIP gzip REQUIRED)
include(GNUInstallDirs)

# vantrell_add_man_page(<program target> <one-line description>)
function(vantrell_add_man_page target description)
    set(page "${CMAKE_CURRENT_BINARY_DIR}/${target}.1")
    add_custom_command(OUTPUT "${page}.gz"
        # No display, no bus and no leak report: only the help is read.
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0
            ${VANTRELL_HELP2MAN} --no-info --no-discard-stderr --section=1 "--name=${description}"
            "--output=${page}" $<TARGET_FILE:${target}>
        COMMAND ${VANTRELL_GZIP} -9nf "${page}"
        DEPENDS ${target}
        COMMENT "Manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}_man_page ALL DEPENDS "${page}.gz")
    install(FILES "${page}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endfunction()

# The copyright file (machine-readable, with the licences of what is bundled)
# and the changelog, compressed as Debian's policy wants it.
function(vantrell_install_package_docs)
    set(source "${PROJECT_SOURCE_DIR}/resources/linux/doc")
    set(changelog "${PROJECT_BINARY_DIR}/doc/changelog")
    add_custom_command(OUTPUT "${changelog}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${source}/changelog" "${changelog}"
        COMMAND ${VANTRELL_GZIP} -9nf "${changelog}"
        DEPENDS "${source}/changelog"
        VERBATIM)
    add_custom_target(vantrell_changelog ALL DEPENDS "${changelog}.gz")
    set(destination "${CMAKE_INSTALL_DATADIR}/doc/vantrell")
    install(FILES "${source}/copyright" "${changelog}.gz" DESTINATION "${destination}")
endfunction()
