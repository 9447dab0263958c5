# The seed writer of the game-file fuzz targets (`make seeds`).
if(NOT CMAKE_BUILD_TYPE STREQUAL "Fuzz" AND NOT VEY3_HOST_ONLY)
  add_executable(vey3seeds ${CMAKE_SOURCE_DIR}/tools/seeds/seeds.cpp)
  target_link_libraries(vey3seeds PRIVATE ${VEY3_LIBS})
  target_include_directories(vey3seeds PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
