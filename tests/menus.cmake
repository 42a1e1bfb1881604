# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

add_executable(menu_tests menu_test.cpp)
target_link_libraries(menu_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(menu_tests DISCOVERY_TIMEOUT 30)
