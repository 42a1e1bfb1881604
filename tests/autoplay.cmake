# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Recorded runs (tests/runs): key scripts replayed by tovarine-headless, compared with the outcome
# they gave when they were recorded; and the autoplayer itself, which must still get through.
set(RUNS_DIR ${CMAKE_CURRENT_LIST_DIR}/runs)
foreach(run full tutorial gameover ex)
    set(twice OFF)
    if(run STREQUAL "full")
        set(twice ON) # the whole game, twice: the same script gives the same trace
    endif()
    add_test(NAME run_${run}
        COMMAND ${CMAKE_COMMAND} -DHEADLESS=$<TARGET_FILE:tovarine-headless>
            -DCHECK=$<TARGET_FILE:tovarine-runcheck> -DRUNS=${RUNS_DIR} -DNAME=${run}
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/runs/${run} -DTWICE=${twice}
            -P ${RUNS_DIR}/replay.cmake)
    set_tests_properties(run_${run} PROPERTIES TIMEOUT 900 LABELS runs)
endforeach()

# The autoplayer plays the four stages and the EX stage from the title, as the level tables are
# now; a level that cannot be crossed fails here before anyone records a run.
foreach(run full ex)
    set(save "")
    if(EXISTS ${RUNS_DIR}/${run}.save)
        set(save --save ${RUNS_DIR}/${run}.save)
    endif()
    set(work ${CMAKE_CURRENT_BINARY_DIR}/autoplay/${run})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME autoplay_${run}
        COMMAND $<TARGET_FILE:tovarine-autoplay> --scenario ${run} ${save}
        WORKING_DIRECTORY ${work})
    set_tests_properties(autoplay_${run} PROPERTIES TIMEOUT 900 LABELS runs)
endforeach()
