# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The story script: written readably in script.txt, checked and turned into the Shift-JIS table
# at build time. A script that breaks a rule of the table stops the build. Each further language
# has its script.LANG.txt, checked against script.txt line by line and turned into its own table.
get_filename_component(SCRIPTGEN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../../tools/script/script.cpp
    ABSOLUTE)
add_executable(scriptgen ${SCRIPTGEN_SOURCE})
target_link_libraries(scriptgen PRIVATE build_tool)
# Tools run during the build; they live beside the other build tools.
set_target_properties(scriptgen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
add_custom_command(
    OUTPUT ${GENERATED}/data/script_table.cpp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GENERATED}/data
    COMMAND scriptgen ${CMAKE_CURRENT_LIST_DIR}/script.txt ${GENERATED}/data/script_table.cpp
    DEPENDS scriptgen ${CMAKE_CURRENT_LIST_DIR}/script.txt
    COMMENT "Story script")
list(APPEND GAME_SOURCES ${GENERATED}/data/script_table.cpp)

# The Latin-letter scripts; their tables are named in data/script_table.h.
set(LATIN_SCRIPT_TABLES en ScriptTableEnglish)
while(LATIN_SCRIPT_TABLES)
    list(POP_FRONT LATIN_SCRIPT_TABLES language table)
    add_custom_command(
        OUTPUT ${GENERATED}/data/script_table_${language}.cpp
        COMMAND ${CMAKE_COMMAND} -E make_directory ${GENERATED}/data
        COMMAND scriptgen --latin ${CMAKE_CURRENT_LIST_DIR}/script.${language}.txt
                --like ${CMAKE_CURRENT_LIST_DIR}/script.txt --table ${table}
                ${GENERATED}/data/script_table_${language}.cpp
        DEPENDS scriptgen ${CMAKE_CURRENT_LIST_DIR}/script.txt
                ${CMAKE_CURRENT_LIST_DIR}/script.${language}.txt
        COMMENT "Story script (${language})")
    list(APPEND GAME_SOURCES ${GENERATED}/data/script_table_${language}.cpp)
endwhile()
