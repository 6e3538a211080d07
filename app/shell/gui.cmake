# The window and the connection page in qx_shell_gui (so Qt Test can drive
# them); the program itself is app/main.cpp.
add_library(qx_shell_gui STATIC
    app_main.cpp
    captions.cpp
    connection_page.cpp
    dialogs.cpp
    kept_settings.cpp
    language.cpp
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
    language.h
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
# The English catalogue, compiled from its Linguist source with Debian's
# qt6-l10n-tools and built into the program.
find_program(QX_LRELEASE lrelease HINTS /usr/lib/qt6/bin ${QT6_INSTALL_PREFIX}/bin REQUIRED)
set(qx_english_ts ${PROJECT_SOURCE_DIR}/app/translations/qxtools_en.ts)
set(qx_english_qm ${CMAKE_CURRENT_BINARY_DIR}/translations/qxtools_en.qm)
add_custom_command(OUTPUT ${qx_english_qm}
    COMMAND ${QX_LRELEASE} -silent ${qx_english_ts} -qm ${qx_english_qm}
    DEPENDS ${qx_english_ts}
    COMMENT "Compiling the English catalogue")
set_source_files_properties(${qx_english_qm} PROPERTIES QT_RESOURCE_ALIAS qxtools_en.qm)
qt_add_resources(qx_shell_gui "qxtools_translations"
    PREFIX "/qxtools/translations"
    FILES ${qx_english_qm})
set_target_properties(qx_shell_gui PROPERTIES AUTOMOC ON)
