# picture_bench: the picture-size filter cancelling a large file of a small picture.
if(TARGET PkgConfig::HTTPLIB)
  add_executable(picture_bench ${CMAKE_CURRENT_LIST_DIR}/picture_bench.cc)
  target_link_libraries(picture_bench PRIVATE harvelo_core PkgConfig::HTTPLIB)
endif()
