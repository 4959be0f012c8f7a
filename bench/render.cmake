# render_bench: harvelo-cli --render on the scripted gallery against Chromium's own time
# to load and scroll it, and the same pictures harvested from a plain page, in one run.
if(HARVELO_TESTS AND TARGET PkgConfig::HTTPLIB)
  add_executable(render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench.cc)
  target_link_libraries(render_bench PRIVATE harvelo_devtools PkgConfig::HTTPLIB)
  target_include_directories(render_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(render_bench PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(render_bench harvelo-cli)
endif()
