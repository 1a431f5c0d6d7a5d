# Header-only libraries of the build machine (Debian's nlohmann-json3-dev, rapidjson-dev and
# libcli11-dev) made usable in the Windows cross build. Their own package files would add /usr/include to the
# include path, which would put the build machine's C library headers in front of MinGW's, so
# only the library's own folder is linked into a folder of the build tree and that is used.
function(viderave_header_only_package target folder)
  if(TARGET ${target})
    return()
  endif()
  set(staged ${CMAKE_BINARY_DIR}/windows-include)
  if(NOT EXISTS ${staged}/${folder})
    file(MAKE_DIRECTORY ${staged})
    file(CREATE_LINK /usr/include/${folder} ${staged}/${folder} SYMBOLIC)
  endif()
  if(NOT EXISTS ${staged}/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: install the Debian package that ships it")
  endif()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
endfunction()
