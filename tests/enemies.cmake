# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

add_executable(enemy_tests enemy_test.cpp enemy_boss_test.cpp)
target_link_libraries(enemy_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(enemy_tests DISCOVERY_TIMEOUT 30)
