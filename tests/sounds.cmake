# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Tests of the generated sounds (tools/sounds) in the data directory.
if(NOT TARGET GTest::gtest_main)
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_executable(sounds_test ${CMAKE_CURRENT_LIST_DIR}/sounds_test.cpp)
target_link_libraries(sounds_test PRIVATE test_support GTest::gtest_main)
target_compile_definitions(sounds_test PRIVATE SOUND_DIR="${TOVARINE_DATA_DIR}/snd")
if(TARGET soundgen)
    get_filename_component(SOUNDS_TEST_ASSETS ${CMAKE_CURRENT_LIST_DIR}/../assets/sounds ABSOLUTE)
    target_compile_definitions(sounds_test PRIVATE SOUNDGEN="$<TARGET_FILE:soundgen>"
        SOUND_ASSETS="${SOUNDS_TEST_ASSETS}" SOUND_FONT="${TOVARINE_SOUND_FONT}")
endif()
if(TARGET sounds)
    add_dependencies(sounds_test sounds)
endif()
if(TARGET engine_headless)
    target_link_libraries(sounds_test PRIVATE engine_headless)
    target_compile_definitions(sounds_test PRIVATE SOUNDS_TEST_ENGINE=1)
endif()
gtest_discover_tests(sounds_test DISCOVERY_TIMEOUT 30 PROPERTIES ENVIRONMENT SDL_AUDIODRIVER=dummy)

# The mix over the whole recorded game, through the real mixer with the test standing in for the
# audio device (it defines the mixer's device calls, so they must be visible to the mixer).
if(TARGET game AND TARGET key_script)
    add_executable(sounds_mix_test ${CMAKE_CURRENT_LIST_DIR}/sounds_mix_test.cpp)
    target_link_libraries(sounds_mix_test PRIVATE game engine_headless key_script test_support
                                                  GTest::gtest_main ${CMAKE_DL_LIBS})
    target_compile_definitions(sounds_mix_test PRIVATE
        TOVARINE_RUNS_DIR="${CMAKE_CURRENT_LIST_DIR}/runs" TOVARINE_DATA_DIR="${TOVARINE_DATA_DIR}")
    set_target_properties(sounds_mix_test PROPERTIES ENABLE_EXPORTS ON)
    if(TARGET sounds)
        add_dependencies(sounds_mix_test sounds)
    endif()
    gtest_discover_tests(sounds_mix_test DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 300
                         ENVIRONMENT SDL_AUDIODRIVER=dummy)
endif()
