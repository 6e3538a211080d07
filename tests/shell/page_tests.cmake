# What the window and page tests share: scripted dialogs, the caption check
# and the window fixture (tests/shell), with the shell's window, Qt Test and
# the qxsim process of the tests' support. Included from tests/ before the
# areas' folders, so that each area can add its page tests.
add_library(qx_page_test_support INTERFACE)
target_include_directories(qx_page_test_support INTERFACE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qx_page_test_support INTERFACE qx_shell_gui qx_test_support Qt6::Test)

# qx_add_page_test(NAME SOURCES src... AREA area [LIBS lib...] [TIMEOUT s]
#                  [DEFINITIONS def...] [WITH_MODULE])
# A Qt Test executable of the window or a page, run on the offscreen
# platform and labelled "app;AREA;gui". WITH_MODULE: against the real
# library (QX_QXLIB_FILE) and qxsim, both built first, with WindowTest
# (window_test.h) as the test class's base.
function(qx_add_page_test name)
    cmake_parse_arguments(ARG "WITH_MODULE" "AREA;TIMEOUT" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE qx_page_test_support ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    if(ARG_WITH_MODULE)
        # listed so that AUTOMOC sees the test classes' base
        target_sources(${name} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/window_test.h)
        add_dependencies(${name} qxlib qxsim)
        target_compile_definitions(${name} PRIVATE QX_QXLIB_FILE="$<TARGET_FILE:qxlib>")
    endif()
    if(ARG_DEFINITIONS)
        target_compile_definitions(${name} PRIVATE ${ARG_DEFINITIONS})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "app;${ARG_AREA};gui"
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
