# Inspector's time with 1 and with 20 pages open in a headless Chromium, against a plain
# read of the browser's page list (curl) measured in the same run.
if(HARVELO_TESTS)
  add_executable(inspector_bench ${CMAKE_CURRENT_LIST_DIR}/inspector_bench.cc)
  target_link_libraries(inspector_bench PRIVATE inspector_lib PkgConfig::HTTPLIB)
  target_include_directories(inspector_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(inspector_bench PRIVATE INSPECTOR_PATH="$<TARGET_FILE:Inspector>")
  add_dependencies(inspector_bench Inspector)
endif()
