# The I/O pages RO2000Set, RO2000Tag and RO2000Scan with their widgets. They
# use the shell's AppMain and the shell's window creates them, so the two
# static libraries name each other.
add_library(qx_io_gui STATIC
    dido_page.cpp
    io_page_parts.cpp
    dido_page.h
    io_page_parts.h
)
set_target_properties(qx_io_gui PROPERTIES AUTOMOC ON)
target_link_libraries(qx_io_gui PUBLIC qx_io_core qx_shell_gui Qt6::Widgets)
