# The window's tests (Qt Test, offscreen); qx_add_page_test comes from
# page_tests.cmake.
qx_add_page_test(shell_window_test SOURCES shell_window_test.cpp AREA shell)

# End to end: the real library and the simulated module.
if(TARGET qxlib AND TARGET qxsim)
    qx_add_page_test(shell_e2e_test SOURCES shell_e2e_test.cpp AREA shell TIMEOUT 300 WITH_MODULE
        DEFINITIONS QX_QXTOOLS_FILE="$<TARGET_FILE:qxtools>")
    add_dependencies(shell_e2e_test qxtools)
endif()

# Every page at the window's size on the screens the start-up text names.
if(TARGET qx_io_gui AND TARGET qx_config_gui AND TARGET qx_plc_gui)
    qx_add_page_test(page_layout_test SOURCES page_layout_test.cpp AREA shell
        LIBS qx_io_gui qx_config_gui qx_plc_gui)
    # the same in English, whose texts are longer
    add_test(NAME page_layout_test_en COMMAND page_layout_test)
    set_tests_properties(page_layout_test_en PROPERTIES
        LABELS "app;shell;gui" TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QX_TEST_LANGUAGE=en")
endif()
