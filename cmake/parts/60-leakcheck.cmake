# The sanitizer run checks leaks: a program that leaks on purpose must be
# reported (tools/leakcanary), under the options that `make test-asan` sets.
if(CMAKE_BUILD_TYPE STREQUAL "Asan" AND NOT VEY3_HOST_ONLY)
  add_executable(leakcanary ${CMAKE_SOURCE_DIR}/tools/leakcanary/leakcanary.cpp)
  target_link_libraries(leakcanary PRIVATE vey3shared)
  add_test(NAME leakcheck COMMAND leakcanary)
  set_tests_properties(leakcheck PROPERTIES PASS_REGULAR_EXPRESSION "Direct leak of [0-9]+ byte[^\n]*\n[^\n]*\n[^\n]*mymalloc")
endif()
