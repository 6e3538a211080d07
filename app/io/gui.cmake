# The I/O pages RO2000Set, RO2000Tag and RO2000Scan with their widgets; the
# shell's window hosts them (placeIoPages).
find_package(Qt6 6.2 REQUIRED COMPONENTS Charts)
add_library(qx_io_gui STATIC
    ai_trend_view.cpp
    aiao_page.cpp
    dido_page.cpp
    io_page_parts.cpp
    pwm_page.cpp
    write_sender.cpp
    ai_trend_view.h
    aiao_page.h
    dido_page.h
    io_page_parts.h
    pwm_page.h
    write_sender.h
)
set_target_properties(qx_io_gui PROPERTIES AUTOMOC ON)
target_link_libraries(qx_io_gui PUBLIC qx_io_core qx_shell_gui Qt6::Widgets Qt6::Charts)
