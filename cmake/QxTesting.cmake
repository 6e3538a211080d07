# qx_add_gtest(NAME SOURCES src... LIBS lib... [LABELS label...] [TIMEOUT s])
# One GoogleTest executable; each of its test cases becomes a ctest test.
include(GoogleTest)

function(qx_add_gtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    # gtest_discover_tests cannot pass a list through PROPERTIES, so the
    # labels become one label ("lib-port"); ctest -L takes a regular
    # expression, so `ctest -L lib` and `ctest -L port` both select it.
    list(JOIN ARG_LABELS "-" label)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${label}" TIMEOUT ${ARG_TIMEOUT})
    # for the build targets gtest_suites and library_suites (tests/CMakeLists.txt)
    set_property(GLOBAL APPEND PROPERTY QX_GTEST_SUITES ${name})
    if("lib" IN_LIST ARG_LABELS)
        set_property(GLOBAL APPEND PROPERTY QX_LIBRARY_SUITES ${name})
    endif()
endfunction()

# qx_add_fuzzer(NAME SOURCES src... LIBS lib... CORPUS dir)
# A libFuzzer target and a short smoke run of it (fixed seed) as a ctest test.
# CORPUS is the directory of committed seeds, relative to the calling
# directory. libFuzzer adds what it finds to its first corpus directory, so
# the smoke run gets a copy in the build tree and the seeds stay as they are.
function(qx_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    # the libraries are instrumented by the fuzz build's global options
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    # fuzz_target.h, the targets' shared entry point and input helpers
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz)
    if(NOT ARG_CORPUS)
        message(FATAL_ERROR "fuzz target ${name} has no seed corpus")
    endif()
    get_filename_component(seeds ${ARG_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
    file(REMOVE_RECURSE ${corpus})
    file(COPY ${seeds}/ DESTINATION ${corpus})
    add_test(NAME ${name}.smoke
        COMMAND ${name} -seed=1 -max_total_time=5 -max_len=4096 ${corpus})
    set_tests_properties(${name}.smoke PROPERTIES LABELS fuzz TIMEOUT 60)
endfunction()
