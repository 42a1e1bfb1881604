# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Bad files, damaged saves, saves cut off by a kill and a short run of random keys; and the
# fuzz targets, built with clang in their own project and run for a bounded time.
add_executable(robust_tests robust_files_test.cpp)
target_link_libraries(robust_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(robust_tests DISCOVERY_TIMEOUT 30)
target_compile_definitions(robust_tests PRIVATE TOVARINE_HEADLESS="$<TARGET_FILE:tovarine-headless>")
add_dependencies(robust_tests tovarine-headless)

# Four fuzz targets of 18 seconds each from the kept seeds. They carry their own sanitizers, so
# the sanitized build of the suite does not run them a second time.
if(NOT TOVARINE_SANITIZE)
    add_test(NAME fuzz
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/fuzz/run.sh ${CMAKE_CURRENT_BINARY_DIR}/fuzz 18)
    set_tests_properties(fuzz PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE LABELS fuzz)
endif()
# The real game, started where there is no display.
target_compile_definitions(robust_tests PRIVATE TOVARINE_GAME="$<TARGET_FILE:tovarine>")
add_dependencies(robust_tests tovarine)

# Pads pulled and plugged while the real SDL engine runs (dummy video and audio, virtual pads).
add_executable(robust_pad_tests robust_pad_test.cpp)
target_link_libraries(robust_pad_tests PRIVATE engine_sdl test_support GTest::gtest_main)
gtest_discover_tests(robust_pad_tests DISCOVERY_TIMEOUT 30)

# The autoplayer's long-run mode, short: the EX stage from the title to the ending and back, twice
# in one process (the menus keep their cursors between laps). The hour-long run is this with
# --scenario full --max-frames 216000 --sample 3600 in the sanitized build.
set(loop_work ${CMAKE_CURRENT_BINARY_DIR}/autoplay/loop)
file(MAKE_DIRECTORY ${loop_work})
add_test(NAME autoplay_loop
    COMMAND $<TARGET_FILE:tovarine-autoplay> --scenario ex --save ${CMAKE_CURRENT_LIST_DIR}/runs/ex.save
        --loop --max-frames 17000 --sample 3600
    WORKING_DIRECTORY ${loop_work})
# A pass pattern makes ctest ignore the exit status, so sanitizer reports fail it by their words.
set_tests_properties(autoplay_loop PROPERTIES TIMEOUT 300 LABELS runs
    PASS_REGULAR_EXPRESSION "looped: 2 laps to the end and back to the title, 0 cut short"
    FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error|did NOT reach")
