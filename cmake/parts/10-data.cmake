# Built-in game data: data/*.txt are turned into one generated source
# (the file texts, embedded in the program) and a header of the row numbers
# that the code uses (from data/ids.txt), by the host tool tools/datagen.
add_executable(datagen ${CMAKE_SOURCE_DIR}/tools/datagen/datagen.cpp)
# The generator runs during the build; keep it free of sanitizers.
if(CMAKE_BUILD_TYPE STREQUAL "Asan" OR CMAKE_BUILD_TYPE STREQUAL "Fuzz")
  target_compile_options(datagen PRIVATE -fno-sanitize=all)
  target_link_options(datagen PRIVATE -fno-sanitize=all)
endif()
file(GLOB data_texts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.txt)
set(data_generated ${CMAKE_BINARY_DIR}/generated/gamedata_embed.cpp ${CMAKE_BINARY_DIR}/generated/gamedata_ids.h
                   ${CMAKE_BINARY_DIR}/generated/rule_ids.h)
add_custom_command(OUTPUT ${data_generated}
  COMMAND $<TARGET_FILE:datagen> ${CMAKE_SOURCE_DIR}/data ${CMAKE_BINARY_DIR}/generated
  DEPENDS datagen ${data_texts}
  COMMENT "Embedding the game data")
add_custom_target(gamedata_generated DEPENDS ${data_generated})
target_sources(vey3shared PRIVATE ${CMAKE_BINARY_DIR}/generated/gamedata_embed.cpp)
# Every layer reads the generated row numbers.
add_dependencies(vey3shared gamedata_generated)
add_dependencies(vey3hostside gamedata_generated)
if(TARGET vey3player)
  add_dependencies(vey3player gamedata_generated)
endif()
