# The window's tests (Qt Test, offscreen); qx_add_page_test comes from
# page_tests.cmake.
qx_add_page_test(shell_window_test SOURCES shell_window_test.cpp AREA shell)

# End to end: the real library and the simulated module.
if(TARGET qxlib AND TARGET qxsim)
    qx_add_page_test(shell_e2e_test SOURCES shell_e2e_test.cpp AREA shell TIMEOUT 300 WITH_MODULE
        DEFINITIONS QX_QXTOOLS_FILE="$<TARGET_FILE:qxtools>")
    add_dependencies(shell_e2e_test qxtools)
endif()
