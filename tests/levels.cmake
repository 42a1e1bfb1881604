# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Tests of the level tables (src/data/levels) and of their converter (tools/levels).
if(NOT TARGET GTest::gtest_main)
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_executable(levels_test ${CMAKE_CURRENT_LIST_DIR}/levels_test.cpp)
target_link_libraries(levels_test PRIVATE game engine_headless test_support GTest::gtest_main)
target_compile_definitions(levels_test PRIVATE LEVELS_TOOL="$<TARGET_FILE:levels>"
    LEVELS_DIR="${CMAKE_SOURCE_DIR}/src/data/levels")
add_dependencies(levels_test levels)
gtest_discover_tests(levels_test DISCOVERY_TIMEOUT 30)
