# TrassoJkn.h compiled below C++17 stops at once: one error, the header's own
# message, and nothing from deeper in it.
#   cmake -DCXX=... -DCORE=... -DWORK=... -P CheckOldStandard.cmake
file(WRITE ${WORK}/old_standard.cpp "#include \"TrassoJkn.h\"\nint main() { return 0; }\n")
execute_process(COMMAND ${CXX} -std=c++14 -fsyntax-only -I${CORE} ${WORK}/old_standard.cpp
  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output)
string(REGEX MATCHALL "error:" found "${errors}${output}")
list(LENGTH found count)
if(result EQUAL 0 OR NOT count EQUAL 1 OR NOT errors MATCHES
   "TrassoJkn.h needs C\\+\\+17 \\(-std=c\\+\\+17, /std:c\\+\\+17\\); from C or older C\\+\\+ include TrassoJknC.h")
  message(FATAL_ERROR "-std=c++14 gave (status ${result}, ${count} errors):\n${errors}${output}")
endif()
