# The maps of data/maps (".map" texts and their images) go into the data
# folder's "maps" folder, where the game looks for them.
file(GLOB map_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/maps/*.map ${CMAKE_SOURCE_DIR}/data/maps/*.tga
     ${CMAKE_SOURCE_DIR}/data/maps/*.rgb)
set(map_copies)
foreach(src ${map_files})
  get_filename_component(name ${src} NAME)
  set(dst ${VEY3_DATA_DIR}/maps/${name})
  add_custom_command(OUTPUT ${dst}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VEY3_DATA_DIR}/maps
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${dst}
    DEPENDS ${src}
    COMMENT "Copying map ${name}")
  list(APPEND map_copies ${dst})
endforeach()
add_custom_target(maps ALL DEPENDS ${map_copies})
add_dependencies(vey3host maps)
if(TARGET vey3)
  add_dependencies(vey3 maps)
endif()
