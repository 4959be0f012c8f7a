# fetch_bench: HTTPFetcher against the curl command-line tool on the same loopback server.
if(TARGET PkgConfig::HTTPLIB)
  add_executable(fetch_bench ${CMAKE_CURRENT_LIST_DIR}/fetch_bench.cc)
  target_link_libraries(fetch_bench PRIVATE harvelo_core PkgConfig::HTTPLIB)
endif()
