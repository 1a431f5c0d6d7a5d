# RapidJSON for the Windows cross build (see header_only.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
viderave_header_only_package(RapidJSON::RapidJSON rapidjson)
set(RapidJSON_FOUND TRUE)
