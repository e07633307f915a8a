# cmake -DOBJDUMP=llvm-objdump -DEXE=msvc_consumer.exe "-DOBJECTS=a.obj;b.obj"
#       -P CheckFormat.cmake
# The consumer is a Visual C++ program, not a MinGW one: objects with CodeView
# debug information (MinGW compilers write DWARF), linked by a Visual C++
# linker into an image without MinGW's start-up sections, that names its PDB
# and imports only TrassoJkn.dll (by the C names) and the system's msvcrt.dll.

cmake_minimum_required(VERSION 3.20)

function(dump out)
  execute_process(COMMAND "${OBJDUMP}" ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} ${ARGN} failed")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(section_names out file)
  dump(headers -h "${file}")
  string(REGEX MATCHALL "\n *[0-9]+ ([^ ]+)" rows "${headers}")
  set(names)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "\n *[0-9]+ " "" name "${row}")
    list(APPEND names "${name}")
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

foreach(object IN LISTS OBJECTS)
  section_names(sections "${object}")
  if(NOT ".debug$S" IN_LIST sections)
    message(FATAL_ERROR "${object}: no CodeView debug information (.debug$S): ${sections}")
  endif()
  if(".debug_info" IN_LIST sections)
    message(FATAL_ERROR "${object}: DWARF debug information, as MinGW compilers write")
  endif()
endforeach()

section_names(sections "${EXE}")
foreach(mingw_section IN ITEMS .CRT .tls .idata .debug_info)
  if(mingw_section IN_LIST sections)
    message(FATAL_ERROR "${EXE}: section ${mingw_section}, as MinGW's linker and start-up code make: "
      "${sections}")
  endif()
endforeach()

dump(headers -p "${EXE}")
if(NOT headers MATCHES "\nMajorLinkerVersion +14\n")
  message(FATAL_ERROR "${EXE}: not made by a Visual C++ linker (version 14):\n${headers}")
endif()
file(STRINGS "${EXE}" pdb REGEX "msvc_consumer\\.pdb$")
if(NOT pdb)
  message(FATAL_ERROR "${EXE}: names no PDB in its debug directory")
endif()

# The import tables: "DLL Name: X" and the names imported from it.
string(REGEX MATCHALL "DLL Name: [^\n]+" dll_rows "${headers}")
string(REPLACE "DLL Name: " "" dlls "${dll_rows}")
if(NOT dlls STREQUAL "TrassoJkn.dll;msvcrt.dll")
  message(FATAL_ERROR "${EXE}: imports from ${dlls}, not from TrassoJkn.dll and msvcrt.dll only")
endif()
string(REGEX MATCH "DLL Name: TrassoJkn\\.dll\n[^\n]*\n(( +[0-9]+ +[^\n]+\n)+)" table "${headers}")
string(REGEX MATCHALL "[0-9]+ +[^\n]+" imports "${CMAKE_MATCH_1}")
list(LENGTH imports n)
if(n LESS 10)
  message(FATAL_ERROR "${EXE}: only ${n} functions imported from TrassoJkn.dll")
endif()
foreach(row IN LISTS imports)
  if(NOT row MATCHES "^[0-9]+ +jkn_[A-Za-z_0-9]+$")
    message(FATAL_ERROR "${EXE}: imports \"${row}\" from TrassoJkn.dll, not a C name jkn_*")
  endif()
endforeach()
message(STATUS "Visual C++ program: CodeView objects, linker 14, ${pdb}; "
  "${n} functions from TrassoJkn.dll, the rest from msvcrt.dll")
