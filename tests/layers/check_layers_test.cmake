# The layer check refuses an include of a higher layer in every spelling the
# compiler accepts, naming the file and line, and passes the includes a
# layer may make.
#
#   cmake -DCHECKER=cmake/check_layers.cmake -DWORK_DIR=DIR -P this file
cmake_minimum_required(VERSION 3.20)
if(NOT CHECKER OR NOT WORK_DIR)
  message(FATAL_ERROR "CHECKER and WORK_DIR must be set")
endif()

# A tree of src/ where core/data includes upward (data may not use app).
set(tree ${WORK_DIR}/layers-src)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/core/app/korvane_doc.h "#pragma once\n")
file(WRITE ${tree}/core/platform/error.h "#pragma once\n")
file(WRITE ${tree}/core/data/records.h "#pragma once\n")

# Each case: the third line of core/data/probe.cpp, and whether the check
# passes it. "|" stands for ";" (a list separator here).
set(refused
  "#include \"core/app/korvane_doc.h\""
  "#include <core/app/korvane_doc.h>"
  "  #include \"core/app/korvane_doc.h\""
  "#  include \"core/app/korvane_doc.h\""
  "#include\t\"core/app/korvane_doc.h\""
  "#include \"../app/korvane_doc.h\""
  "#include \"../../core/app/korvane_doc.h\"")
set(passed
  "#include \"core/platform/error.h\""
  "#include <core/platform/error.h>"
  "#include \"records.h\""
  "#include \"../platform/error.h\""
  "#include <vector>"
  "#include \"support/temp_dir.h\""
  "// #include \"core/app/korvane_doc.h\"")

set(failures "")
foreach(expect refused passed)
  foreach(line IN LISTS ${expect})
    file(WRITE ${tree}/core/data/probe.cpp "// probe\n\n${line}\nint probe;\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECKER}
      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(expect STREQUAL "refused")
      if(status EQUAL 0)
        list(APPEND failures "passed but must be refused: ${line}")
      elseif(NOT err MATCHES "core/data/probe.cpp:3: [^\n]*data may not use app")
        list(APPEND failures "refused without file, line and rule: ${line}\n${err}")
      endif()
    elseif(NOT status EQUAL 0)
      list(APPEND failures "refused but allowed: ${line}\n${err}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${tree})

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
