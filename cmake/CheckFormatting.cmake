# Checks that every C++ file of src/, tests/ and bench/ is laid out as .clang-format says:
#   cmake -DSOURCE_ROOT=<repository> -P CheckFormatting.cmake
# The files are gathered when the test runs, so a file added since configuring counts too.
cmake_minimum_required(VERSION 3.20)

find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE files LIST_DIRECTORIES false
     "${SOURCE_ROOT}/src/*.cpp" "${SOURCE_ROOT}/src/*.h"
     "${SOURCE_ROOT}/tests/*.cpp" "${SOURCE_ROOT}/tests/*.h"
     "${SOURCE_ROOT}/bench/*.cpp" "${SOURCE_ROOT}/bench/*.h")
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "No C++ files found under ${SOURCE_ROOT}")
endif()
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${files}
                RESULT_VARIABLE result ERROR_VARIABLE report)
if(NOT result EQUAL 0)
  string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error" places "${report}")
  string(REGEX REPLACE ":[0-9]+:[0-9]+: error" "" offenders "${places}")
  list(REMOVE_DUPLICATES offenders)
  list(JOIN offenders "\n  " offenders)
  message(FATAL_ERROR "Not laid out as .clang-format says (clang-format -i them):\n  ${offenders}")
endif()
message(STATUS "${count} files laid out as .clang-format says")
