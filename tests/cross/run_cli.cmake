# One comparison of the Windows korvane-cli (run under Wine) with the build
# machine's own korvane-cli; run by ctest as `cmake -D... -P run_cli.cmake`.
#   RUNNER     the Wine runner of the Windows build (wine-run.sh)
#   CLI        the Windows korvane-cli.exe
#   REFERENCE  a korvane-cli built natively from the same sources
#   SAMPLES    the example files folder
#   WORK       a scratch folder of this test (emptied first)
#   MODE       same-output: both tools get ARGS; their stdout, stderr and exit
#                status must be equal byte for byte (lines that start with
#                IGNORE, a regular expression, are left out of the comparison)
#              same-files: as same-output, and then the files named in
#                FILES (separated by "|", written by both tools into
#                @OUT@) must hold the same: a PDF the same text on the same
#                pages in the same order (pdftotext -raw, blanks left out:
#                the fonts differ by system), a Word or Excel file the same parts byte for byte
#                but for its time stamps (docProps/core.xml)
#              chinese-paths: a sample pair under Chinese folder and file
#                names: read, converted and merged by the Windows tool; the
#                outputs must equal the reference tool's, byte for byte
#   ARGS       the arguments, separated by "|"; @SAMPLES@ and @WORK@ are
#              replaced by the folders, @OUT@ by "out", the output folder in each
#              tool's own working folder (WORK/windows, WORK/linux)
cmake_minimum_required(VERSION 3.20)

foreach(variable RUNNER CLI SAMPLES WORK MODE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_cli.cmake: ${variable} is not set")
  endif()
endforeach()
if(NOT EXISTS "${REFERENCE}")
  message(FATAL_ERROR "no reference korvane-cli at '${REFERENCE}': build the normal build's korvane-cli first "
                      "(./dev.sh test does) or set KORVANE_REFERENCE_CLI")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/windows" "${WORK}/linux")

function(split_args text out)
  string(REPLACE "@SAMPLES@" "${SAMPLES}" text "${text}")
  string(REPLACE "@OUT@" "out" text "${text}")
  string(REPLACE "@WORK@" "${WORK}" text "${text}")
  string(REPLACE "|" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# run(SIDE NAME args...): runs one tool; its stdout, stderr and status go to
# WORK/SIDE/NAME.out, .err, .status.
function(run side name)
  if(side STREQUAL "windows")
    set(command "${RUNNER}" "${CLI}")
  else()
    set(command "${REFERENCE}")
  endif()
  execute_process(COMMAND ${command} ${ARGN} WORKING_DIRECTORY "${WORK}/${side}" OUTPUT_FILE "${WORK}/${side}/${name}.out"
    ERROR_FILE "${WORK}/${side}/${name}.err" RESULT_VARIABLE status)
  file(WRITE "${WORK}/${side}/${name}.status" "${status}\n")
endfunction()

# Text of a file with the lines matching IGNORE left out.
function(comparable_text file out)
  file(READ "${file}" text)
  if(DEFINED IGNORE AND NOT IGNORE STREQUAL "")
    string(REGEX REPLACE "(^|\n)${IGNORE}[^\n]*\n" "\\1" text "${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Fails unless the two files are equal byte for byte (or, with IGNORE, equal
# but for the ignored lines); shows both at the first difference.
function(expect_same a b)
  if(DEFINED IGNORE AND NOT IGNORE STREQUAL "")
    comparable_text("${a}" left)
    comparable_text("${b}" right)
    if(left STREQUAL right)
      return()
    endif()
  else()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${a}" "${b}" RESULT_VARIABLE different)
    if(NOT different)
      return()
    endif()
    file(READ "${a}" left)
    file(READ "${b}" right)
  endif()
  string(LENGTH "${left}" left_length)
  string(LENGTH "${right}" right_length)
  set(at 0)
  while(at LESS left_length AND at LESS right_length)
    string(SUBSTRING "${left}" ${at} 1 l)
    string(SUBSTRING "${right}" ${at} 1 r)
    if(NOT l STREQUAL r)
      break()
    endif()
    math(EXPR at "${at} + 1")
  endwhile()
  math(EXPR from "${at} - 120")
  if(from LESS 0)
    set(from 0)
  endif()
  string(SUBSTRING "${left}" ${from} 240 left_part)
  string(SUBSTRING "${right}" ${from} 240 right_part)
  message(SEND_ERROR "differ at character ${at} (lengths ${left_length} and ${right_length}):\n"
    "--- ${a}\n${left_part}\n--- ${b}\n${right_part}\n---")
endfunction()

function(expect_same_run name)
  foreach(part out err status)
    expect_same("${WORK}/windows/${name}.${part}" "${WORK}/linux/${name}.${part}")
  endforeach()
endfunction()

# The text of every page of a PDF in the order it is drawn, without blanks
# and line breaks, pages separated by form feeds.
function(pdf_text pdf out)
  find_program(PDFTOTEXT pdftotext REQUIRED)
  execute_process(COMMAND "${PDFTOTEXT}" -raw -enc UTF-8 "${pdf}" - OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "pdftotext cannot read ${pdf}")
  endif()
  string(REGEX REPLACE "[ \t\r\n]" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Fails unless both sides wrote `name` with the same content (see MODE).
function(expect_same_file name)
  set(left "${WORK}/windows/out/${name}")
  set(right "${WORK}/linux/out/${name}")
  foreach(file "${left}" "${right}")
    if(NOT EXISTS "${file}")
      message(SEND_ERROR "not written: ${file}")
      return()
    endif()
  endforeach()
  if(name MATCHES "\\.pdf$")
    pdf_text("${left}" left_text)
    pdf_text("${right}" right_text)
    file(WRITE "${left}.txt" "${left_text}")
    file(WRITE "${right}.txt" "${right_text}")
    expect_same("${left}.txt" "${right}.txt")
  elseif(name MATCHES "\\.(xlsx|docx)$")
    foreach(side windows linux)
      set(parts "${WORK}/${side}/parts/${name}")
      file(MAKE_DIRECTORY "${parts}")
      execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${WORK}/${side}/out/${name}" WORKING_DIRECTORY "${parts}"
        RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(SEND_ERROR "not a zip package: ${WORK}/${side}/out/${name}")
      endif()
      file(GLOB_RECURSE ${side}_parts RELATIVE "${parts}" "${parts}/*")
      list(SORT ${side}_parts)
    endforeach()
    if(NOT windows_parts STREQUAL linux_parts)
      message(SEND_ERROR "${name}: parts differ:\n${windows_parts}\n${linux_parts}")
      return()
    endif()
    list(REMOVE_ITEM windows_parts docProps/core.xml)
    foreach(part IN LISTS windows_parts)
      expect_same("${WORK}/windows/parts/${name}/${part}" "${WORK}/linux/parts/${name}/${part}")
    endforeach()
  else()
    expect_same("${left}" "${right}")
  endif()
endfunction()

if(MODE STREQUAL "same-output" OR MODE STREQUAL "same-files")
  file(MAKE_DIRECTORY "${WORK}/windows/out" "${WORK}/linux/out")
  split_args("${ARGS}" args)
  run(windows run ${args})
  run(linux run ${args})
  expect_same_run(run)
  if(MODE STREQUAL "same-files")
    string(REPLACE "|" ";" files "${FILES}")
    foreach(name IN LISTS files)
      expect_same_file("${name}")
    endforeach()
  endif()
elseif(MODE STREQUAL "chinese-paths")
  # Names outside the ANSI code page that Wine gives the program (1252), so
  # only wide file names reach them; with a space.
  set(folder "${WORK}/windows/检测 数据")
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SAMPLES}/result-3members-cecs2005.SHA" "${folder}/综合楼 一层.SHA")
  file(COPY_FILE "${SAMPLES}/result-3members-cecs2005.SHD" "${folder}/综合楼 一层.SHD")
  file(COPY_FILE "${SAMPLES}/raw-1member-cecs2005.SHT" "${folder}/原始 数据.SHT")
  file(COPY_FILE "${SAMPLES}/raw-1member-cecs2005.SHD" "${folder}/原始 数据.SHD")
  set(linux "${WORK}/linux")
  file(COPY_FILE "${SAMPLES}/result-3members-cecs2005.SHA" "${linux}/a.SHA")
  file(COPY_FILE "${SAMPLES}/result-3members-cecs2005.SHD" "${linux}/a.SHD")
  file(COPY_FILE "${SAMPLES}/raw-1member-cecs2005.SHT" "${linux}/b.SHT")
  file(COPY_FILE "${SAMPLES}/raw-1member-cecs2005.SHD" "${linux}/b.SHD")

  run(windows evaluate evaluate "${folder}/综合楼 一层.SHA" --json)
  run(linux evaluate evaluate "${linux}/a.SHA" --json)
  expect_same_run(evaluate)
  run(windows waveform waveform "${folder}/综合楼 一层.SHA" --member 0 --zone 1)
  run(linux waveform waveform "${linux}/a.SHA" --member 0 --zone 1)
  expect_same_run(waveform)

  # A raw file saved as a result file beside itself, and over an existing
  # pair (the replacement path), then read back.
  run(windows convert convert "${folder}/原始 数据.SHT" "${folder}/结果 文件.SHA")
  run(linux convert convert "${linux}/b.SHT" "${linux}/c.SHA")
  expect_same_run(convert)
  run(windows convert-again convert "${folder}/综合楼 一层.SHA" "${folder}/结果 文件.SHA")
  run(linux convert-again convert "${linux}/a.SHA" "${linux}/c.SHA")
  expect_same_run(convert-again)
  expect_same("${folder}/结果 文件.SHA" "${linux}/c.SHA")
  expect_same("${folder}/结果 文件.SHD" "${linux}/c.SHD")

  run(windows merge merge "${folder}/合并.SHA" "${folder}/综合楼 一层.SHA" "${folder}/原始 数据.SHT")
  run(linux merge merge "${linux}/m.SHA" "${linux}/a.SHA" "${linux}/b.SHT")
  foreach(part err status)
    expect_same("${WORK}/windows/merge.${part}" "${WORK}/linux/merge.${part}")
  endforeach()
  expect_same("${folder}/合并.SHA" "${linux}/m.SHA")
  expect_same("${folder}/合并.SHD" "${linux}/m.SHD")
  # The tool names the file it wrote as given.
  file(READ "${WORK}/windows/merge.out" said)
  if(NOT said MATCHES "合并\\.SHA\n$")
    message(SEND_ERROR "merge printed '${said}'")
  endif()

  # The file name as the tool shows it.
  run(windows info info "${folder}/合并.SHA")
  file(READ "${WORK}/windows/info.out" info)
  if(NOT info MATCHES "^file: +[A-Z]:[^\n]*\\\\检测 数据\\\\合并\\.SHA\n")
    message(SEND_ERROR "info printed:\n${info}")
  endif()
else()
  message(FATAL_ERROR "run_cli.cmake: unknown MODE '${MODE}'")
endif()
