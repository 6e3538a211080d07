# The qxtools program: its window and pages in qx_shell_gui (so Qt Test can
# drive them), main.cpp alone in the executable.
add_library(qx_shell_gui STATIC
    app_main.cpp
    captions.cpp
    connection_page.cpp
    dialogs.cpp
    main_window.cpp
    page_host.cpp
    statistics_panel.cpp
    transfer_driver.cpp
    app_main.h
    captions.h
    connection_page.h
    dialogs.h
    main_window.h
    page_host.h
    statistics_panel.h
    transfer_driver.h
    ui_text.h
)
target_link_libraries(qx_shell_gui PUBLIC qx_shell_core qx_common_core qx_io_core Qt6::Widgets Qt6::Network)
# The window icon, drawn for this tool, in its small and big sizes.
qt_add_resources(qx_shell_gui "qxtools_icons"
    PREFIX "/qxtools"
    BASE icons
    FILES icons/qxtools-16.png icons/qxtools-32.png icons/qxtools-48.png icons/qxtools-256.png)

add_executable(qxtools main.cpp)
target_link_libraries(qxtools PRIVATE qx_shell_gui qx_io_gui qx_config_gui qx_plc_gui qx_version)
set_target_properties(qx_shell_gui qxtools PROPERTIES AUTOMOC ON)
if(TARGET qxlib)
    # QXTools binds the library by name at start; in the build tree it is
    # found through the RUNPATH, in the library's own directory (installed,
    # the RUNPATH names the installed library directory instead).
    add_dependencies(qxtools qxlib)
    set_target_properties(qxtools PROPERTIES BUILD_RPATH "$<TARGET_FILE_DIR:qxlib>")
endif()
