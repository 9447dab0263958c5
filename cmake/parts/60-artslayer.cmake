# Our own small aRts C library (libartsc.so.0) for machines without the aRts
# server: the sound tests load it so that the aRts back end runs here too.
if(NOT VEY3_HOST_ONLY AND NOT CMAKE_BUILD_TYPE STREQUAL "Fuzz")
  add_library(artsc SHARED ${CMAKE_SOURCE_DIR}/src/sound/artslayer/artsc.cpp)
  set_target_properties(artsc PROPERTIES VERSION 0 SOVERSION 0
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/artslayer)
  set(VEY3_ARTS_LAYER ${CMAKE_BINARY_DIR}/artslayer/libartsc.so.0)
endif()
