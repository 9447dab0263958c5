# Art is generated at build time: every tools/art/<name>.cpp is a program that
# writes its files into the data folder given as its one argument.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Fuzz")
  find_package(Freetype REQUIRED)   # the font is rendered from a system font
  file(GLOB art_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/art/*.cpp)
  if(VEY3_HOST_ONLY)
    # The host program needs the sprites (random map decorations) only; the
    # battle maps are made through the battle view of the player side.
    set(art_sources ${CMAKE_SOURCE_DIR}/tools/art/sprites.cpp)
  endif()
  set(art_stamps)
  foreach(src ${art_sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(art_${name} ${src})
    target_link_libraries(art_${name} PRIVATE ${VEY3_LIBS} Freetype::Freetype)
    set(stamp ${CMAKE_BINARY_DIR}/art-stamps/${name}.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VEY3_DATA_DIR} ${CMAKE_BINARY_DIR}/art-stamps
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:art_${name}> ${VEY3_DATA_DIR}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS art_${name}
      COMMENT "Generating art: ${name}")
    list(APPEND art_stamps ${stamp})
  endforeach()
  add_custom_target(art ALL DEPENDS ${art_stamps})
  add_dependencies(vey3host art)
  if(TARGET vey3)
    add_dependencies(vey3 art)
  endif()
endif()
