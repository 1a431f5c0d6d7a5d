# CLI11 for the Windows cross build (see header_only.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
viderave_header_only_package(CLI11::CLI11 CLI)
set(CLI11_FOUND TRUE)
