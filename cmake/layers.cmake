# The layers of src/ and the layers each one uses directly: the one table
# from which the core's libraries are linked (src/core/CMakeLists.txt) and
# against which every include is checked (cmake/check_layers.cmake). A layer
# may include its own headers and those of every layer it reaches through
# this table, and no others.
#
#   forms      GUI-free models of forms, grids and dialogs
#   app        the document, its editing operations, settings
#   report     report records, pagination, page layouts
#   wave       waveform points, filter, picker, axes
#   algorithm  the standards' rules: zones, members, batch
#   data       records, number entry, encodings, file reader/writers, merge
#   standards  the ten standards and their traits
#   platform   files, paths, atomic replacement, errors
#
# (wave and algorithm do not use each other; report does not use wave.)
# The core's layers live in src/core/<layer>, the others in src/<layer>.
set(KORVANE_CORE_LAYERS platform standards data algorithm wave report app forms)
set(KORVANE_LAYER_platform_DEPS)
set(KORVANE_LAYER_standards_DEPS)
set(KORVANE_LAYER_data_DEPS platform standards)
set(KORVANE_LAYER_algorithm_DEPS data)
set(KORVANE_LAYER_wave_DEPS data)
set(KORVANE_LAYER_report_DEPS algorithm)
set(KORVANE_LAYER_app_DEPS report wave)
set(KORVANE_LAYER_forms_DEPS app)
# Above the core: the painting of pages, the office writers, the command
# line and the window.
set(KORVANE_OUTER_LAYERS render office cli gui)
set(KORVANE_LAYER_render_DEPS forms)
set(KORVANE_LAYER_office_DEPS forms)
set(KORVANE_LAYER_cli_DEPS render office)
set(KORVANE_LAYER_gui_DEPS render office)

# OUT: `layer` and every layer it reaches through the table.
function(korvane_layers_reachable layer out)
  set(reached ${layer})
  set(pending ${KORVANE_LAYER_${layer}_DEPS})
  while(pending)
    list(POP_FRONT pending next)
    if(NOT next IN_LIST reached)
      list(APPEND reached ${next})
      list(APPEND pending ${KORVANE_LAYER_${next}_DEPS})
    endif()
  endwhile()
  set(${out} ${reached} PARENT_SCOPE)
endfunction()

# OUT: the layer of a path relative to src/ ("core/app/x.h" -> app,
# "gui/main_screen/y.h" -> gui), or empty for a path of no layer.
function(korvane_layer_of path out)
  set(layer "")
  if(path MATCHES "^core/([^/]+)/")
    if(CMAKE_MATCH_1 IN_LIST KORVANE_CORE_LAYERS)
      set(layer ${CMAKE_MATCH_1})
    else()
      set(layer "core/${CMAKE_MATCH_1}")  # a folder the table does not know
    endif()
  elseif(path MATCHES "^([^/]+)/")
    if(CMAKE_MATCH_1 IN_LIST KORVANE_OUTER_LAYERS)
      set(layer ${CMAKE_MATCH_1})
    endif()
  endif()
  set(${out} "${layer}" PARENT_SCOPE)
endfunction()
