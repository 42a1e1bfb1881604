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
