# harvest_bench: harvelo-cli against wget on the same loopback gallery, in the same run.
if(TARGET PkgConfig::HTTPLIB)
  add_executable(harvest_bench ${CMAKE_CURRENT_LIST_DIR}/harvest_bench.cc)
  target_link_libraries(harvest_bench PRIVATE PkgConfig::HTTPLIB Threads::Threads)
  target_include_directories(harvest_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(harvest_bench PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(harvest_bench harvelo-cli)
endif()
