# The data tool (tools/content): writes into data/ what the content rules
# derive from the data, such as the prices of the unit types. Developers run
# it by hand; the build only keeps it compiling.
add_executable(vey3content ${CMAKE_SOURCE_DIR}/tools/content/main.cpp)
target_link_libraries(vey3content PRIVATE ${VEY3_LIBS})
