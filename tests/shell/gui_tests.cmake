# What the window and page tests share: scripted dialogs and the caption
# check (tests/shell), with the shell's window and Qt Test.
add_library(qx_page_test_support INTERFACE)
target_include_directories(qx_page_test_support INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qx_page_test_support INTERFACE qx_shell_gui Qt6::Test)

# Qt Test executables of the window and pages, on the offscreen platform.
function(qx_add_shell_qtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE qx_page_test_support ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "app;shell;gui"
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

qx_add_shell_qtest(shell_window_test SOURCES shell_window_test.cpp)

# End to end: the real library and the simulated module.
if(TARGET qxlib AND TARGET qxsim)
    qx_add_shell_qtest(shell_e2e_test SOURCES shell_e2e_test.cpp TIMEOUT 300)
    add_dependencies(shell_e2e_test qxlib qxsim qxtools)
    target_compile_definitions(shell_e2e_test PRIVATE
        QX_QXTOOLS_FILE="$<TARGET_FILE:qxtools>"
        QX_QXLIB_FILE="$<TARGET_FILE:qxlib>"
        QX_QXSIM_FILE="$<TARGET_FILE:qxsim>")
endif()
