# window_bench: Harvelo's start-up time and how long the window goes without events
# during a slow run (also minimised), under an X server (run it with xvfb-run -a).
if(TARGET harvelo_app AND TARGET agentscout_lib AND TARGET PkgConfig::HTTPLIB)
  add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cc)
  target_link_libraries(window_bench PRIVATE harvelo_app agentscout_lib PkgConfig::HTTPLIB)
  target_include_directories(window_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(window_bench PRIVATE HARVELO_PATH="$<TARGET_FILE:harvelo>")
  add_dependencies(window_bench harvelo)
endif()
