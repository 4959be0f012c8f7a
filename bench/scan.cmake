# The page scanner's throughput on a generated 50 MB page, against plain reads of the
# same file measured in the same run.
add_executable(scan_bench ${CMAKE_CURRENT_LIST_DIR}/scan_bench.cc)
target_link_libraries(scan_bench PRIVATE harvelo_core)
