# cmake -DSOURCE=<utf-8 table> -DOUTPUT=<file> -DENCODING=<iconv name>
#       -DICONV=<iconv program> -P ConvertLanguageTable.cmake
# Writes the table in ENCODING with CR LF line ends and no line end after the
# last line. Fails, naming the line, when a character has no place in
# ENCODING, and fails when the converted bytes do not read back as the
# source (a lossy mapping would show the user a different character).

foreach(_var SOURCE OUTPUT ENCODING ICONV)
  if(NOT DEFINED ${_var})
    message(FATAL_ERROR "ConvertLanguageTable: ${_var} is not set")
  endif()
endforeach()

file(READ "${SOURCE}" _text)
string(REPLACE "\r\n" "\n" _text "${_text}")
string(REGEX REPLACE "\n+$" "" _text "${_text}")
string(REPLACE "\n" "\r\n" _text "${_text}")

set(_utf8 "${OUTPUT}.utf8")
set(_tmp "${OUTPUT}.tmp")
set(_back "${OUTPUT}.back")
file(WRITE "${_utf8}" "${_text}")

execute_process(COMMAND "${ICONV}" -f UTF-8 -t "${ENCODING}"
  INPUT_FILE "${_utf8}" OUTPUT_FILE "${_tmp}"
  RESULT_VARIABLE _rc ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  set(_where "")
  if(_err MATCHES "position ([0-9]+)")
    # iconv names the byte offset in the input; turn it into a line number.
    # Counted in hex: CMake's string commands are not byte-exact around CR.
    file(READ "${_utf8}" _head LIMIT ${CMAKE_MATCH_1} HEX)
    string(REGEX MATCHALL "(..)" _bytes "${_head}")
    list(FILTER _bytes INCLUDE REGEX "^0a$")
    list(LENGTH _bytes _line)
    math(EXPR _line "${_line} + 1")
    set(_where " at line ${_line}")
  endif()
  file(REMOVE "${_utf8}" "${_tmp}")
  message(FATAL_ERROR "${SOURCE}${_where}: a character has no ${ENCODING} form (${_err})")
endif()

execute_process(COMMAND "${ICONV}" -f "${ENCODING}" -t UTF-8
  INPUT_FILE "${_tmp}" OUTPUT_FILE "${_back}" RESULT_VARIABLE _rc)
file(SHA256 "${_utf8}" _want)
file(SHA256 "${_back}" _got)
file(REMOVE "${_utf8}" "${_back}")
if(NOT _rc EQUAL 0 OR NOT _want STREQUAL _got)
  file(REMOVE "${_tmp}")
  message(FATAL_ERROR "${SOURCE}: the ${ENCODING} bytes do not read back as the source")
endif()
file(RENAME "${_tmp}" "${OUTPUT}")
