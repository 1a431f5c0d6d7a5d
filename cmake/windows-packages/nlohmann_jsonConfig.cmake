# nlohmann/json for the Windows cross build (see header_only.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
viderave_header_only_package(nlohmann_json::nlohmann_json nlohmann)
set(nlohmann_json_FOUND TRUE)
