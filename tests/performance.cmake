# The fast blitter checked against the per-pixel blend rules, and no heap allocation while a
# recorded game is played.
add_executable(perf_tests perf_blit_test.cpp)
target_link_libraries(perf_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(perf_tests DISCOVERY_TIMEOUT 30)
