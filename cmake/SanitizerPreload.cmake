# For programs that load the library but are not built with the sanitizers
# (the Python interpreter, mono): the sanitizer runtimes must be loaded first,
# and the host's own allocations are no leaks of ours. Appends the environment
# that does so to the list named by out_var; nothing without TRASSOJKN_SANITIZE.
function(trassojkn_sanitizer_preload out_var)
  if(NOT TRASSOJKN_SANITIZE)
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
    OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so
    OUTPUT_VARIABLE ubsan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out_var} ${${out_var}} "LD_PRELOAD=${asan_runtime}:${ubsan_runtime}"
    "ASAN_OPTIONS=detect_leaks=0" PARENT_SCOPE)
endfunction()
