# Checks the includes of every source under SOURCE_DIR (src/) against the
# layer table (cmake/layers.cmake). Run as a build step; each wrong include
# is named with its file and line, and fails the build.
#
#   cmake -DSOURCE_DIR=src -P cmake/check_layers.cmake
#
# Every spelling the compiler accepts is read: `#include "…"` and `<…>`,
# indented, with blanks after `#` or `include`, and paths relative to the
# including file ("../app/x.h"), which are resolved as the compiler resolves
# them (the including file's folder first, then src/).

cmake_minimum_required(VERSION 3.20)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

foreach(layer ${KORVANE_CORE_LAYERS} ${KORVANE_OUTER_LAYERS})
  korvane_layers_reachable(${layer} ${layer}_MAY)
endforeach()

set(include_pattern "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")

# OUT: the line number (from 1) of the first line of `file` equal to `line`.
function(line_number_of file line out)
  file(READ ${file} text)
  string(FIND "${text}" "${line}" position)
  set(number 0)
  if(position GREATER_EQUAL 0)
    string(SUBSTRING "${text}" 0 ${position} before)
    string(REGEX MATCHALL "\n" breaks "${before}")
    list(LENGTH breaks number)
  endif()
  math(EXPR number "${number} + 1")
  set(${out} ${number} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
list(SORT sources)
set(failures "")
foreach(source ${sources})
  korvane_layer_of("${source}" owner)
  if(owner STREQUAL "")
    if(source MATCHES "/")
      list(APPEND failures "${source}: folder has no place in the layer table (cmake/layers.cmake)")
    endif()
    continue()
  endif()
  if(NOT DEFINED ${owner}_MAY)
    list(APPEND failures "${source}: folder ${owner} has no place in the layer table (cmake/layers.cmake)")
    continue()
  endif()
  get_filename_component(folder "${SOURCE_DIR}/${source}" DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "${include_pattern}")
      continue()
    endif()
    set(quoted "${CMAKE_MATCH_1}")
    set(header "${CMAKE_MATCH_2}")
    # Where the compiler finds it: beside the including file (quotes only),
    # else under src/ (the one include folder of the project).
    set(resolved "")
    if(quoted STREQUAL "\"" AND EXISTS "${folder}/${header}")
      get_filename_component(beside "${folder}/${header}" ABSOLUTE)
      file(RELATIVE_PATH resolved ${SOURCE_DIR} ${beside})
    else()
      get_filename_component(under "${SOURCE_DIR}/${header}" ABSOLUTE)
      if(header MATCHES "^\\.\\.?/" AND NOT EXISTS "${under}")
        get_filename_component(under "${folder}/${header}" ABSOLUTE)
      endif()
      file(RELATIVE_PATH resolved ${SOURCE_DIR} ${under})
    endif()
    if(resolved MATCHES "^\\.\\./")
      continue()  # outside src/: a test's or a library's header
    endif()
    korvane_layer_of("${resolved}" target)
    if(target STREQUAL "")
      continue()  # not one of the project's layers (a library's header)
    endif()
    if(NOT target IN_LIST ${owner}_MAY)
      line_number_of(${SOURCE_DIR}/${source} "${line}" number)
      string(STRIP "${line}" shown)
      list(APPEND failures "${source}:${number}: ${shown}: ${owner} may not use ${target}")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Layer rule broken:\n  ${text}")
endif()
