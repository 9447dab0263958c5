# The long-game measurement (`make bench-long`): a game of 24 computer
# nations hosted month after month, one row of cost per month.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT VEY3_HOST_ONLY)
  add_executable(vey3longgame ${CMAKE_SOURCE_DIR}/tools/longgame/longgame.cpp)
  target_link_libraries(vey3longgame PRIVATE ${VEY3_LIBS})
  target_include_directories(vey3longgame PRIVATE ${CMAKE_SOURCE_DIR}/tests)   # support/hostedgame.h
endif()
