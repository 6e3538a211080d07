# The configuration area's widgets; the shell's window hosts them.
add_library(qx_config_gui STATIC
    firmware_box.cpp
    firmware_box.h
)
set_target_properties(qx_config_gui PROPERTIES AUTOMOC ON)
target_link_libraries(qx_config_gui PUBLIC qx_config_core qx_shell_gui Qt6::Widgets)
