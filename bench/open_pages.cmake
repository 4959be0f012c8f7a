# Inspector's time with 1 and with 20 pages open in a headless Chromium, against a plain
# read of the browser's page list (curl) measured in the same run.
if(HARVELO_TESTS)
  add_executable(open_pages_bench ${CMAKE_CURRENT_LIST_DIR}/open_pages_bench.cc)
  target_link_libraries(open_pages_bench PRIVATE open_pages_lib PkgConfig::HTTPLIB)
  target_include_directories(open_pages_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(open_pages_bench PRIVATE INSPECTOR_PATH="$<TARGET_FILE:Inspector>")
  add_dependencies(open_pages_bench Inspector)
endif()
