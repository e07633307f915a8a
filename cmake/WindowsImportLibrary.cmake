# TrassoJkn.def and TrassoJkn.lib beside TrassoJkn.dll (MinGW-w64 builds).
#
# The linker writes the DLL's exports to TrassoJkn.def as it links; llvm-dlltool
# turns that into TrassoJkn.lib, an import library in the format of Visual C++
# linkers (link.exe, lld-link), which cannot read MinGW's TrassoJkn.dll.a.
# Both are installed into the library folder, next to TrassoJkn.dll.a.
#
# For the consumers: TRASSOJKN_DEF_FILE and TRASSOJKN_MSVC_IMPORT_LIBRARY (the
# latter empty when llvm-dlltool is missing).

include(GNUInstallDirs)

# In the DLL's own folder: this one, unless the build sets an output folder.
get_target_property(trassojkn_dll_dir TrassoJkn RUNTIME_OUTPUT_DIRECTORY)
if(NOT trassojkn_dll_dir)
  set(trassojkn_dll_dir "${CMAKE_CURRENT_BINARY_DIR}")
endif()
set(TRASSOJKN_DEF_FILE "${trassojkn_dll_dir}/TrassoJkn.def")
set(TRASSOJKN_MSVC_IMPORT_LIBRARY "${trassojkn_dll_dir}/TrassoJkn.lib")
target_link_options(TrassoJkn PRIVATE "-Wl,--output-def,${TRASSOJKN_DEF_FILE}")

# Debian names it with and without the LLVM version.
find_program(TRASSOJKN_LLVM_DLLTOOL
  NAMES llvm-dlltool llvm-dlltool-19 llvm-dlltool-18 llvm-dlltool-17 llvm-dlltool-16
        llvm-dlltool-15 llvm-dlltool-14
  HINTS /usr/lib/llvm-14/bin
  DOC "llvm-dlltool, which makes TrassoJkn.lib from TrassoJkn.def")

if(TRASSOJKN_LLVM_DLLTOOL)
  # Made whenever the DLL is linked, so the .lib never lags behind its exports.
  add_custom_command(TARGET TrassoJkn POST_BUILD
    COMMAND "${TRASSOJKN_LLVM_DLLTOOL}" -m i386:x86-64 -d "${TRASSOJKN_DEF_FILE}"
            -l "${TRASSOJKN_MSVC_IMPORT_LIBRARY}" -D "$<TARGET_FILE_NAME:TrassoJkn>"
    BYPRODUCTS "${TRASSOJKN_DEF_FILE}" "${TRASSOJKN_MSVC_IMPORT_LIBRARY}"
    COMMENT "Making TrassoJkn.lib (import library for Visual C++ linkers)"
    VERBATIM)
  install(FILES "${TRASSOJKN_MSVC_IMPORT_LIBRARY}" "${TRASSOJKN_DEF_FILE}"
    DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
  message(WARNING "llvm-dlltool not found (Debian package llvm or llvm-14): "
    "TrassoJkn.lib, the import library for Visual C++ linkers, is not made; "
    "only TrassoJkn.def is.")
  set(TRASSOJKN_MSVC_IMPORT_LIBRARY "")
  install(FILES "${TRASSOJKN_DEF_FILE}" DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
