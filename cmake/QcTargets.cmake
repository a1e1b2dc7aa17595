# Helpers that keep every folder's CMakeLists.txt short and uniform.

# Includes are written from the source root ("compare/Report.h"), yet no
# target sees the whole root: each library publishes an include folder of
# its own in the build tree, holding a link named after its source folder,
# and passes it on to what links it. A target therefore sees its own folder
# and the folders of what it links, and an include against the layers (the
# document including compare/, the core including app/ or Qt) fails to build.

# qc_expose_folder(TARGET FOLDER [HEADERS ...]): TARGET publishes the source
# folder FOLDER (e.g. "richtext" or "tools/qctool") under its own name.
# With HEADERS only those headers of the folder are published, one link each,
# for a library that shares its folder with a library of another layer.
function(qc_expose_folder target folder)
  cmake_parse_arguments(A "" "" "HEADERS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(A_HEADERS)
    if(IS_SYMLINK ${link})
      file(REMOVE ${link})
    endif()
    file(MAKE_DIRECTORY ${link})
    foreach(header ${A_HEADERS})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder}/${header} ${link}/${header} SYMBOLIC)
    endforeach()
  else()
    if(IS_DIRECTORY ${link} AND NOT IS_SYMLINK ${link})
      file(REMOVE_RECURSE ${link})
    endif()
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# The folder a target in the current folder publishes: its path below the
# source root.
function(qc_current_folder out)
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

# The headers of a library that shares its folder: the header of each of its
# sources, and the header-only files named in EXTRA.
function(qc_headers_of_sources out)
  cmake_parse_arguments(A "" "" "SOURCES;EXTRA" ${ARGN})
  set(headers ${A_EXTRA})
  foreach(source ${A_SOURCES})
    get_filename_component(base ${source} NAME_WE)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${base}.h)
      list(APPEND headers ${base}.h)
    endif()
  endforeach()
  list(REMOVE_DUPLICATES headers)
  set(${out} ${headers} PARENT_SCOPE)
endfunction()

# Tests, benchmarks and tools see what they link and their own tree
# ("tests/document/DocTestUtil.h", "bench/diff/BenchTexts.h"), published
# once for all programs of that tree.
function(qc_see_tree target tree)
  set(root ${CMAKE_BINARY_DIR}/include/tree-${tree})
  if(NOT EXISTS ${root}/${tree})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${tree} ${root}/${tree} SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE ${root})
endfunction()

# qc_core_library(NAME SOURCES... [LIBS ...] [HEADERS ...]): a Qt-free
# static library publishing its folder. HEADERS marks a folder shared with
# the Qt layer: then only the headers of its sources and the header-only
# files listed are published.
function(qc_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;HEADERS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  qc_current_folder(folder)
  if(A_HEADERS)
    qc_headers_of_sources(headers SOURCES ${A_SOURCES} EXTRA ${A_HEADERS})
    qc_expose_folder(${name} ${folder} HEADERS ${headers})
  else()
    qc_expose_folder(${name} ${folder})
  endif()
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# qc_qt_library(NAME SOURCES... [LIBS ...]): a library of the Qt layer.
function(qc_qt_library name)
  if(QC_CORE_ONLY)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  qc_current_folder(folder)
  qc_expose_folder(${name} ${folder})
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${A_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
endfunction()

# qc_core_test(NAME SOURCES... LIBS ...): a GoogleTest program over Qt-free
# libraries; it also runs in the sanitizer build.
function(qc_core_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  qc_see_tree(${name} tests)
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
  qc_see_tree(${name} tests)
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
  qc_see_tree(${name} bench)
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
