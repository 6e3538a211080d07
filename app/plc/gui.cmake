# The PLC programming page and its dialogs; the shell's window hosts them.
add_library(qx_plc_gui STATIC
    plc_dialogs.cpp
    plc_page.cpp
    plc_dialogs.h
    plc_page.h
)
set_target_properties(qx_plc_gui PROPERTIES AUTOMOC ON)
target_link_libraries(qx_plc_gui PUBLIC qx_plc_core qx_shell_gui Qt6::Widgets)
