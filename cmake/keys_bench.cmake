# f1_bench.exe: times F1, Tab and Return on a full 90-question, two-answer board built in
# its own process from the real board template. A benchmark run by hand under Wine
# (bench/f1_bench.sh), not a test.
add_executable(f1_bench bench/win/f1_bench_win.cpp ${CMAKE_SOURCE_DIR}/resources/player_ui.rc)
target_link_libraries(f1_bench PRIVATE quizwin)
set_target_properties(f1_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
quizz_warnings(f1_bench)
