# Fails when the static library defines a symbol of the command line or of the tools' helpers.
#   cmake -DNM=<nm> -DLIBRARY=<libtarnasm.a> -P LibraryWithoutCommandLine.cmake
execute_process(COMMAND ${NM} -C --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
# The listing must be of the library at all, or the check below would pass on nothing.
if(NOT symbols MATCHES "tarnasm::assemble")
  message(FATAL_ERROR "${LIBRARY} defines no tarnasm::assemble: not the library, or nm cannot read it")
endif()
string(REGEX MATCHALL "[^\n]*(tarnasmMain|runProgram|runGuarded|RunSettings|outputBaseName|print_mem_usage|sigUsr1Handler|ProcessStart|openToolLog)[^\n]*"
       found "${symbols}")
if(found)
  list(JOIN found "\n" lines)
  message(FATAL_ERROR "${LIBRARY} defines what belongs to the tools:\n${lines}")
endif()
