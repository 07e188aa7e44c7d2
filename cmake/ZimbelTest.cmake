# zimbel_add_test(name SOURCES ... LIBS ... [GUI])
# One CTest test per test binary: under Wine every process start costs time,
# so a binary runs all its cases at once. GUI tests share one desktop and the
# focus, so every Windows test runs serially.
function(zimbel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    # Their time limit comes from tools/wine-tests.sh, which knows how fast
    # the machine they run on is.
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  elseif(EMSCRIPTEN)
    # Under node the exit status is the result only once the runtime exits.
    # Linked without binaryen's size passes, which cost each binary 20 s.
    target_link_options(${name} PRIVATE -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -O1)
  endif()
endfunction()
