cmake_minimum_required(VERSION 3.25)

# Fails unless PROGRAM imports only DLLs that every Windows has: no MinGW runtime DLL, nothing
# that would have to ship beside it.
# Usage: cmake -DOBJDUMP=... -DPROGRAM=... -P CheckImports.cmake
set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msvcrt.dll)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${headers}")
set(imports)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: " "" name "${line}")
  string(TOLOWER "${name}" name)
  list(APPEND imports ${name})
endforeach()
message(STATUS "${PROGRAM} imports: ${imports}")

# A table that was not found would pass the check below; every program needs kernel32.
if(NOT kernel32.dll IN_LIST imports)
  message(FATAL_ERROR "no import of kernel32.dll found: not a Windows program, or objdump's output changed")
endif()
set(unexpected ${imports})
list(REMOVE_ITEM unexpected ${allowed})
if(unexpected)
  message(FATAL_ERROR "imports DLLs that not every Windows has: ${unexpected}")
endif()
