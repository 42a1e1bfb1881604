# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Replays one recorded run with tovarine-headless in a fresh folder and compares its outcome
# (tovarine-runcheck's summary of the trace and of "save.dat") with NAME.expect.
#   cmake -DHEADLESS=... -DCHECK=... -DRUNS=<this folder> -DNAME=full -DWORK=<scratch folder>
#         [-DUPDATE=ON] [-DTWICE=ON] [-DLANG=en -DKEYS=file] -P replay.cmake
# UPDATE writes NAME.expect instead of comparing; TWICE replays again and requires the very same
# trace (the game is deterministic for a given script and seed). LANG plays the keys of KEYS in
# another language and requires NAME.expect's outcome with the frame numbers left out (its
# pages take their own time).
foreach(var HEADLESS CHECK RUNS NAME WORK)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "replay.cmake needs -D${var}=...")
    endif()
endforeach()

set(keys ${RUNS}/${NAME}.keys)
set(language)
if(DEFINED LANG)
    set(keys ${KEYS})
    set(language --lang ${LANG})
endif()
file(STRINGS ${keys} header REGEX "^# replay:")
if(NOT header MATCHES "--frames ([0-9]+) --seed ([0-9]+)")
    message(FATAL_ERROR "${keys}: no \"# replay: ... --frames N --seed S\" line")
endif()
set(frames ${CMAKE_MATCH_1})
set(seed ${CMAKE_MATCH_2})

function(replay trace)
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK})
    # A run that needs an unlock starts from the save that gives it.
    if(EXISTS ${RUNS}/${NAME}.save)
        execute_process(COMMAND ${CMAKE_COMMAND} -E copy ${RUNS}/${NAME}.save ${WORK}/save.dat)
    endif()
    execute_process(
        COMMAND ${HEADLESS} --input ${keys} --frames ${frames} --seed ${seed} --trace ${trace}
                ${language}
        WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_QUIET)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "tovarine-headless failed (${code})")
    endif()
endfunction()

replay(${WORK}/trace.jsonl)
set(save ${WORK}/save.dat)
execute_process(COMMAND ${CHECK} ${WORK}/trace.jsonl ${save}
    OUTPUT_VARIABLE summary RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "tovarine-runcheck failed (${code})")
endif()

if(UPDATE)
    file(WRITE ${RUNS}/${NAME}.expect "${summary}")
    message(STATUS "wrote ${RUNS}/${NAME}.expect")
else()
    file(READ ${RUNS}/${NAME}.expect expected)
    if(DEFINED LANG)
        foreach(text summary expected)
            string(REGEX REPLACE "\n  [0-9]+:" "\n  -:" ${text} "${${text}}")
            string(REGEX REPLACE "\nframes [0-9]+" "\nframes -" ${text} "${${text}}")
        endforeach()
        file(WRITE ${WORK}/expected.txt "${expected}")
    endif()
    if(NOT summary STREQUAL expected)
        file(WRITE ${WORK}/actual.txt "${summary}")
        execute_process(COMMAND diff -u ${RUNS}/${NAME}.expect ${WORK}/actual.txt)
        message(FATAL_ERROR "run ${NAME} no longer gives the recorded outcome "
                            "(actual in ${WORK}/actual.txt)")
    endif()
endif()

if(TWICE)
    file(RENAME ${WORK}/trace.jsonl ${WORK}-first.jsonl)
    replay(${WORK}/trace.jsonl)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}-first.jsonl
                            ${WORK}/trace.jsonl RESULT_VARIABLE differs)
    file(REMOVE ${WORK}-first.jsonl)
    if(differs)
        message(FATAL_ERROR "run ${NAME} gave a different trace the second time")
    endif()
endif()
# The traces of a whole game are tens of megabytes: keep them only when something failed.
file(REMOVE ${WORK}/trace.jsonl)
