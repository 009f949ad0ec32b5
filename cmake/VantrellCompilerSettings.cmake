# SPDX-License-Identifier: GPL-3.0-or-later
# Per-target compiler settings. Nothing here touches global flags: every target
# calls vantrell_target_defaults() itself.

function(vantrell_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> -Wno-missing-field-initializers)
    target_compile_definitions(${target} PRIVATE
        QT_NO_KEYWORDS
        QT_NO_CAST_FROM_ASCII
        QT_NO_URL_CAST_FROM_STRING
        QT_NO_CAST_TO_ASCII
        QT_USE_QSTRINGBUILDER)
    if(VANTRELL_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(VANTRELL_BUILD_FUZZ)
        # Coverage instrumentation for the code the fuzzers reach.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address)
    endif()
endfunction()

# Libraries linked into sanitized executables must carry the flags too, so the
# option applies to the library's users through an interface target.
add_library(vantrell_sanitizers INTERFACE)
if(VANTRELL_SANITIZE)
    target_link_options(vantrell_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
