# parallel_bench: harvelo-cli's parallel transfers against wget and wget2 (a delayed
# loopback server, nginx over http and https) and its memory on long galleries.
if(TARGET PkgConfig::HTTPLIB)
  add_executable(parallel_bench ${CMAKE_CURRENT_LIST_DIR}/parallel_bench.cc)
  target_link_libraries(parallel_bench PRIVATE PkgConfig::HTTPLIB Threads::Threads)
  target_include_directories(parallel_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(parallel_bench PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(parallel_bench harvelo-cli)
endif()
