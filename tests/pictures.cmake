# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The generated pictures: every file of the game's catalogue with its size, the colour key in
# empty cells, and drawing that gives the same bytes every time.
if(NOT TARGET GTest::gtest_main)
    find_package(GTest REQUIRED)
endif()
if(NOT TARGET PNG::PNG)
    find_package(PNG REQUIRED)
endif()
include(GoogleTest)

add_executable(pictures_test ${CMAKE_CURRENT_LIST_DIR}/pictures_test.cpp)
target_link_libraries(pictures_test PRIVATE GTest::gtest_main PNG::PNG)
target_compile_definitions(pictures_test PRIVATE PICTURES_DIR="${TOVARINE_DATA_DIR}/png")
if(TARGET tovarine-pictures)
    target_compile_definitions(pictures_test PRIVATE
        PICTURES_GENERATOR="$<TARGET_FILE:tovarine-pictures>"
        PICTURES_ASSETS="${CMAKE_CURRENT_LIST_DIR}/../assets/pictures"
        PICTURES_WORDS="${TOVARINE_PICTURE_WORDS}"
        PICTURES_WORDS_EN="${TOVARINE_PICTURE_WORDS_EN}")
endif()
if(TARGET pictures)
    add_dependencies(pictures_test pictures)
endif()
gtest_discover_tests(pictures_test)
