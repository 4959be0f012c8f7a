# big_page_bench: one large page fetched and scanned by harvelo-cli (defaults and one
# transfer at a time) against curl's fetch of the same page, nginx on loopback.
add_executable(big_page_bench ${CMAKE_CURRENT_LIST_DIR}/big_page_bench.cc)
target_link_libraries(big_page_bench PRIVATE Threads::Threads)
target_include_directories(big_page_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(big_page_bench PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
add_dependencies(big_page_bench harvelo-cli)
