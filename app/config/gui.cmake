# The configuration page RO2000ScanPoll and its firmware box; the shell's
# window hosts them.
add_library(qx_config_gui STATIC
    config_page.cpp
    config_page.h
    firmware_box.cpp
    firmware_box.h
)
set_target_properties(qx_config_gui PROPERTIES AUTOMOC ON)
target_link_libraries(qx_config_gui PUBLIC qx_config_core qx_shell_gui Qt6::Widgets)
