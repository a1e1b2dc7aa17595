# Helpers that keep every folder's CMakeLists.txt short and uniform.

# qc_core_library(NAME SOURCES... [LIBS ...]): a Qt-free static library.
function(qc_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# qc_qt_library(NAME SOURCES... [LIBS ...]): a library of the Qt layer.
function(qc_qt_library name)
  if(QC_CORE_ONLY)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${A_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
endfunction()

# qc_core_test(NAME SOURCES... LIBS ...): a GoogleTest program over Qt-free
# libraries; it also runs in the sanitizer build.
function(qc_core_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QC_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS core)
endfunction()

# qc_qt_test(NAME SOURCES... LIBS ...): a QtTest program, run offscreen.
function(qc_qt_test name)
  if(QC_CORE_ONLY)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} Qt6::Widgets Qt6::Test)
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_compile_definitions(${name} PRIVATE QC_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS qt ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# qc_benchmark(NAME SOURCES... LIBS ...): a Google Benchmark program.
function(qc_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE QC_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_property(GLOBAL APPEND PROPERTY QC_BENCHMARKS ${name})
endfunction()

# qc_fuzz_target(NAME SOURCES... LIBS ... [DEFINES ...]): a libFuzzer entry
# point (LLVMFuzzerTestOneInput). Every build replays the target's seeds and
# the inputs that once made it fail (tests/data/fuzz/NAME) as a core test,
# through a small runner instead of libFuzzer; with QC_FUZZ the fuzzer itself
# is built as fuzz/fuzz_NAME (`make fuzz`).
function(qc_fuzz_target name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;DEFINES" ${ARGN})
  add_executable(replay_${name} ${A_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/FuzzReplay.cpp)
  target_link_libraries(replay_${name} PRIVATE ${A_LIBS})
  target_compile_definitions(replay_${name} PRIVATE ${A_DEFINES})
  add_test(NAME fuzz_replay_${name} COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/tests/data/fuzz/${name})
  set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS core)
  if(QC_FUZZ)
    add_executable(fuzz_${name} ${A_SOURCES})
    target_link_libraries(fuzz_${name} PRIVATE ${A_LIBS})
    target_compile_definitions(fuzz_${name} PRIVATE ${A_DEFINES})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_dependencies(fuzz_targets fuzz_${name})
  endif()
endfunction()
