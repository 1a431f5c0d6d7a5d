# The Windows build (included by the top-level CMakeLists.txt when WIN32): the plug-in as
# Viderave.dll with exactly its three undecorated exports and its DESCRIPTION resource, the
# stand-in server as OrvPcb.dll and the host program as viderave.exe, both exporting their
# functions by their plain names.
enable_language(RC)

# The plug-in: the .def file names the exports (aliases of the __stdcall symbols, which carry
# the argument size), so the sources mark nothing for export and nothing else leaves the module.
set_target_properties(viderave_plugin PROPERTIES OUTPUT_NAME Viderave PREFIX "")
target_sources(viderave_plugin PRIVATE
  ${CMAKE_SOURCE_DIR}/plugin/viderave.def ${CMAKE_SOURCE_DIR}/plugin/viderave.rc)
# The system services of the plug-in: message queue, message boxes and windows, the registry, and
# the tab control of the native rules dialog.
target_link_libraries(viderave_core PUBLIC user32 gdi32 advapi32 comctl32)

# The stand-in modules export their host functions with dllexport (VIDERAVE_EXPORT under
# VIDERAVE_STANDIN); --kill-at drops the argument size from the exported names, so the plug-in
# finds PcbApi_CreateObject and ClientAPI_ForceFileNameExtension under those very names.
# The host program also uses the server's model (its C++ classes) as a shared library does on
# Linux, one model for the program and the module: OrvPcb.dll exports all its symbols.
target_compile_definitions(OrvPcb PRIVATE VIDERAVE_STANDIN)
target_compile_definitions(viderave_hostlib_objects PRIVATE VIDERAVE_STANDIN)
target_compile_definitions(viderave PRIVATE VIDERAVE_STANDIN)
target_link_options(OrvPcb PRIVATE -Wl,--export-all-symbols -Wl,--exclude-libs,ALL -Wl,--kill-at)
target_link_options(viderave PRIVATE -Wl,--kill-at)
target_link_libraries(viderave PRIVATE user32)
# The import library of the program is of no use to anyone.
set_target_properties(viderave PROPERTIES ENABLE_EXPORTS OFF)
