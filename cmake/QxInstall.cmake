# What `cmake --install` puts where: the three programs, QXLIB with its
# header and pkg-config file, QXTools' desktop entry and icons, man pages made
# from the programs' --help, and the package's copyright and changelog.

include(GNUInstallDirs)
# Debian's multiarch library directory under any prefix (its loader searches
# /usr/local/lib/<triplet> too), where GNUInstallDirs takes it only under
# /usr; and the documents where Debian looks for the package's. Other
# directories given on the command line stay.
if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib")
    set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
endif()
if("$CACHE{CMAKE_INSTALL_DOCDIR}" STREQUAL "")
    set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/qxtools")
endif()

set(QX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QX_PACKAGE_MAINTAINER
    "QXTools maintainers <maintainers@users.noreply.c-seed-106c1831.example>"
    CACHE STRING "Maintainer of the Debian package (Name <address>)")

# QXTools and qxcli load QXLIB by name at run time; installed, their RUNPATH
# names the installed library directory relative to the program, so a tree
# unpacked anywhere (dpkg -x) uses its own library.
file(RELATIVE_PATH qx_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(qxtools qxcli PROPERTIES INSTALL_RPATH "$ORIGIN/${qx_bin_to_lib}")

install(TARGETS qxtools qxcli qxsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS qxlib LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/qxlib.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# qxlib.pc names the prefix it is installed under, known only at install time
# (cmake --install --prefix, or CPack's /usr): the directories and version are
# filled in now, the prefix by the install step.
set(QX_PC_PREFIX "@CMAKE_INSTALL_PREFIX@")
configure_file(${QX_PACKAGING_DIR}/qxlib.pc.in ${PROJECT_BINARY_DIR}/packaging/qxlib.pc.in @ONLY)
install(CODE "configure_file(\"${PROJECT_BINARY_DIR}/packaging/qxlib.pc.in\"
    \"${PROJECT_BINARY_DIR}/packaging/qxlib.pc\" @ONLY)")
install(FILES ${PROJECT_BINARY_DIR}/packaging/qxlib.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${QX_PACKAGING_DIR}/qxtools.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/app/shell/icons/qxtools-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME qxtools.png)
endforeach()

# Man pages from each program's --help and --version, run without a display
# (as on a build machine), compressed as Debian keeps them.
find_program(QX_HELP2MAN help2man REQUIRED)
find_program(QX_GZIP gzip REQUIRED)
set(qx_man_dir ${PROJECT_BINARY_DIR}/man)
set(qx_man_pages "")
set(qx_name_qxtools "configure, test and program QX Modbus I/O modules")
set(qx_name_qxcli "drive QX Modbus I/O modules from the command line")
set(qx_name_qxsim "a simulated QX Modbus I/O module")
foreach(program qxtools qxcli qxsim)
    set(page ${qx_man_dir}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${qx_man_dir}
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            ${QX_HELP2MAN} --no-info --section=1 --name=${qx_name_${program}}
            --output=${page} $<TARGET_FILE:${program}>
        COMMAND ${QX_GZIP} -9nf ${page}
        DEPENDS ${program}
        COMMENT "Man page of ${program}"
        VERBATIM)
    list(APPEND qx_man_pages ${page}.gz)
endforeach()

# Debian's changelog for a package without a Debian revision: changelog.gz.
# Its date honours SOURCE_DATE_EPOCH, so that a rebuild can be identical.
string(TIMESTAMP QX_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${QX_PACKAGING_DIR}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${QX_GZIP} -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
    VERBATIM)

add_custom_target(qx_install_files ALL
    DEPENDS ${qx_man_pages} ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

install(FILES ${qx_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QX_PACKAGING_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${QX_PACKAGING_DIR}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME qxtools)
