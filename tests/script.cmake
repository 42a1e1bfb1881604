# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The story script table the game links, and the converter's refusals of broken scripts.
if(NOT TARGET GTest::gtest_main)
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

get_filename_component(SCRIPT_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../src/data/script.txt ABSOLUTE)
add_executable(script_test ${CMAKE_CURRENT_LIST_DIR}/script_test.cpp)
target_link_libraries(script_test PRIVATE game engine_headless test_support GTest::gtest_main)
target_compile_definitions(script_test PRIVATE SCRIPTGEN="$<TARGET_FILE:scriptgen>"
    SCRIPT_SOURCE="${SCRIPT_SOURCE}" SCRIPT_SOURCE_EN="${CMAKE_SOURCE_DIR}/src/data/script.en.txt")
add_dependencies(script_test scriptgen)
gtest_discover_tests(script_test DISCOVERY_TIMEOUT 30)
