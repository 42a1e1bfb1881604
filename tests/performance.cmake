# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The fast blitter checked against the per-pixel blend rules, and no heap allocation while a
# recorded game is played.
add_executable(perf_tests perf_blit_test.cpp)
target_link_libraries(perf_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(perf_tests DISCOVERY_TIMEOUT 30)

# Counts allocations by replacing malloc, which a sanitizer build already does.
if(NOT TOVARINE_SANITIZE)
    add_executable(perf_alloc_tests perf_alloc_test.cpp)
    target_link_libraries(perf_alloc_tests PRIVATE game engine_headless key_script test_support
                                                   GTest::gtest_main)
    target_compile_definitions(perf_alloc_tests PRIVATE
        TOVARINE_RUNS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/runs"
        TOVARINE_DATA_DIR="${TOVARINE_DATA_DIR}")
    gtest_discover_tests(perf_alloc_tests DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 300)
endif()
