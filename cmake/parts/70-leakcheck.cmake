# The sanitizer build checks leaks in every program and test
# (tools/sanitizer/options.cpp). A program that leaks on purpose must be
# reported (tools/leakcanary), so leak checking cannot be switched off, or
# our own code suppressed, without a test failing.
if(CMAKE_BUILD_TYPE STREQUAL "Asan")
  add_library(sanitizeroptions OBJECT ${CMAKE_SOURCE_DIR}/tools/sanitizer/options.cpp)
  target_compile_definitions(sanitizeroptions PRIVATE
    VEY3_LSAN_SUPPRESSIONS="${CMAKE_SOURCE_DIR}/scripts/lsan.supp")
  set(VEY3_SANITIZER_OBJECTS $<TARGET_OBJECTS:sanitizeroptions>)
  target_sources(vey3host PRIVATE ${VEY3_SANITIZER_OBJECTS})
  if(TARGET vey3)
    target_sources(vey3 PRIVATE ${VEY3_SANITIZER_OBJECTS})
  endif()
  add_executable(leakcanary ${CMAKE_SOURCE_DIR}/tools/leakcanary/leakcanary.cpp ${VEY3_SANITIZER_OBJECTS})
  target_link_libraries(leakcanary PRIVATE vey3shared)
  add_test(NAME leakcheck COMMAND leakcanary)
  set_tests_properties(leakcheck PROPERTIES
    PASS_REGULAR_EXPRESSION "Direct leak of [0-9]+ byte[^\n]*\n[^\n]*\n[^\n]*mymalloc")
endif()
