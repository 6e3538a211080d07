# `make package`: everything QxInstall installs as one Debian package,
# build/qxtools_<version>_<arch>.deb, made by CPack. Its dependencies are the
# runtime packages dpkg-shlibdeps finds for the programs and QXLIB (Qt 6
# Core/Gui/Widgets/Network/Charts, the C++ runtime), plus what they load
# without linking it: Qt's platform plugins for the window and a CJK font
# for its Chinese texts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qxtools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the QXTools developers")
set(CPACK_PACKAGE_CONTACT "${QX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure, test and program QX Modbus I/O modules")
set(CPACK_PACKAGE_DESCRIPTION
    "QXTools is a desktop tool for field engineers who configure, test and program
the QX family of Modbus I/O modules (digital, analog, PWM/counter boards and
gateways) over RS485 (Modbus RTU) or the network (Modbus TCP). It reads a
module's identity, polls and switches its I/O, edits its parameter block,
upgrades its firmware and programs its embedded PLC.

The package also holds qxcli, the command-line front end, qxsim, a simulated
module, and QXLIB (libqxlib.so), the library underneath, with its header and
pkg-config file.")

# CPack installs into a staging root with DESTDIR, so that the install step
# sees the package's own prefix (/usr) when it writes qxlib.pc.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# QXLIB lies in the loader's directory: its cache is renewed by trigger
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${QX_PACKAGING_DIR}/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
