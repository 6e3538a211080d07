# The window and the connection page in qx_shell_gui (so Qt Test can drive
# them); the program itself is app/main.cpp.
add_library(qx_shell_gui STATIC
    app_main.cpp
    captions.cpp
    connection_page.cpp
    dialogs.cpp
    kept_settings.cpp
    main_window.cpp
    page_host.cpp
    page_layout.cpp
    statistics_panel.cpp
    transfer_driver.cpp
    app_main.h
    captions.h
    connection_page.h
    dialogs.h
    kept_settings.h
    main_window.h
    page_host.h
    page_layout.h
    statistics_panel.h
    transfer_driver.h
    ui_text.h
)
target_link_libraries(qx_shell_gui PUBLIC qx_shell_core Qt6::Widgets Qt6::Network)
# The window icon, drawn for this tool, in its small and big sizes.
qt_add_resources(qx_shell_gui "qxtools_icons"
    PREFIX "/qxtools"
    BASE icons
    FILES icons/qxtools-16.png icons/qxtools-32.png icons/qxtools-48.png icons/qxtools-256.png)
set_target_properties(qx_shell_gui PROPERTIES AUTOMOC ON)
