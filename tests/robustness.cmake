# Bad files, damaged saves, saves cut off by a kill and a short run of random keys; and the
# fuzz targets, built with clang in their own project and run for a bounded time.
add_executable(robust_tests robust_files_test.cpp)
target_link_libraries(robust_tests PRIVATE game engine_headless test_support GTest::gtest_main)
gtest_discover_tests(robust_tests DISCOVERY_TIMEOUT 30)
