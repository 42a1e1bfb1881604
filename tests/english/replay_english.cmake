# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Replays the whole game in English and requires the outcome of the Japanese recording: the same
# path through modes, stages and story phases with the same scores, clocks and heroine, the same
# final state and the same "save.dat". Only the frame numbers may differ (English pages take
# their own time), so they are left out of the comparison.
#   cmake -DHEADLESS=... -DCHECK=... -DKEYS=full.en.keys -DEXPECT=full.expect -DWORK=dir -P ...
file(STRINGS ${KEYS} header REGEX "^# replay:")
if(NOT header MATCHES "--frames ([0-9]+) --seed ([0-9]+)")
    message(FATAL_ERROR "${KEYS}: no \"# replay: ... --frames N --seed S\" line")
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
    COMMAND ${HEADLESS} --input ${KEYS} --frames ${CMAKE_MATCH_1} --seed ${CMAKE_MATCH_2}
            --lang en --trace ${WORK}/trace.jsonl
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_QUIET)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "tovarine-headless failed (${code})")
endif()
execute_process(COMMAND ${CHECK} ${WORK}/trace.jsonl ${WORK}/save.dat
    OUTPUT_VARIABLE summary RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "tovarine-runcheck failed (${code})")
endif()
file(READ ${EXPECT} expected)
function(without_frames text out)
    string(REGEX REPLACE "\n  [0-9]+:" "\n  -:" text "${text}")
    string(REGEX REPLACE "\nframes [0-9]+" "\nframes -" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
without_frames("${summary}" actual)
without_frames("${expected}" wanted)
if(NOT actual STREQUAL wanted)
    file(WRITE ${WORK}/actual.txt "${actual}")
    file(WRITE ${WORK}/wanted.txt "${wanted}")
    execute_process(COMMAND diff -u ${WORK}/wanted.txt ${WORK}/actual.txt)
    message(FATAL_ERROR "the English game no longer ends as the Japanese one")
endif()
