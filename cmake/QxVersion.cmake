# The project's version for the programs' --version: qx_version.h, generated
# from project(VERSION) into the build tree; a program links qx_version to
# include it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/qx_version.h.in
    ${PROJECT_BINARY_DIR}/generated/qx_version.h @ONLY)
add_library(qx_version INTERFACE)
target_include_directories(qx_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
