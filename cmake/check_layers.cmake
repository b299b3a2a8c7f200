# Checks the includes of every source under SOURCE_DIR (src/) against the
# layer table below: a file of folder X may include the project's headers of
# the folders X may use, and no others. Run as a build step; a wrong include
# fails the build with the file, the line and the rule.
#
#   cmake -DSOURCE_DIR=src -P cmake/check_layers.cmake

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

# Folder -> folders it may include (itself always). The core, bottom to top:
set(core/platform_MAY core/platform)
set(core/standards_MAY core/standards)
set(core/data_MAY core/platform core/standards core/data)
set(core/algorithm_MAY core/platform core/standards core/data core/algorithm)
set(core/wave_MAY core/platform core/standards core/data core/wave)
set(core/report_MAY core/platform core/standards core/data core/algorithm core/report)
set(core/app_MAY core/platform core/standards core/data core/algorithm core/wave core/report core/app)
set(core/forms_MAY ${core/app_MAY} core/forms)
set(KORVANE_CORE_ALL ${core/forms_MAY})
# Above the core: the painting of pages, the office writers, the window and
# the command line.
set(render_MAY ${KORVANE_CORE_ALL} render)
set(office_MAY ${KORVANE_CORE_ALL} office)
set(cli_MAY ${KORVANE_CORE_ALL} render office cli)
set(gui_MAY ${KORVANE_CORE_ALL} render office gui)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(failures "")
foreach(source ${sources})
  # The folder the file belongs to: core/<layer>, or the top folder.
  string(REGEX MATCH "^(core/[^/]+|[^/]+)/" owner "${source}")
  if(NOT owner)
    continue()
  endif()
  string(REGEX REPLACE "/$" "" owner "${owner}")
  if(NOT DEFINED ${owner}_MAY)
    list(APPEND failures "${source}: folder ${owner} has no place in the layer table (cmake/check_layers.cmake)")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^#include \"")
  foreach(line ${lines})
    string(REGEX MATCH "^#include \"([^\"]+)\"" _ "${line}")
    set(header "${CMAKE_MATCH_1}")
    string(REGEX MATCH "^(core/[^/]+|[^/]+)/" target "${header}")
    if(NOT target)
      continue()
    endif()
    string(REGEX REPLACE "/$" "" target "${target}")
    if(NOT DEFINED ${target}_MAY AND NOT target MATCHES "^core/")
      continue()  # not one of the project's folders (a test's or a library's header)
    endif()
    list(FIND ${owner}_MAY ${target} allowed)
    if(allowed EQUAL -1)
      list(APPEND failures "${source}: includes ${header}, but ${owner} may not use ${target}")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Layer rule broken:\n  ${text}")
endif()
