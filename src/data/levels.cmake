# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The level tables: readable text files in data/levels, checked and turned into C++ at build time.
add_executable(levels ${CMAKE_SOURCE_DIR}/tools/levels/levels.cpp)
target_link_libraries(levels PRIVATE build_tool)
set_target_properties(levels PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(LEVEL_FILES
    ${CMAKE_CURRENT_LIST_DIR}/levels/stage1.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/stage2.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/stage3.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/stage4.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/stage5.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/tutorial.txt
    ${CMAKE_CURRENT_LIST_DIR}/levels/arena.txt)
add_custom_command(
    OUTPUT ${GENERATED}/data/levels.cpp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GENERATED}/data
    COMMAND levels ${GENERATED}/data/levels.cpp ${LEVEL_FILES}
    DEPENDS levels ${LEVEL_FILES}
    COMMENT "Level tables"
    VERBATIM)
list(APPEND GAME_SOURCES ${GENERATED}/data/levels.cpp)
