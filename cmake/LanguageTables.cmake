# The translation tables are kept as readable UTF-8 text in resources/lang/,
# one file per table named <ID>.<ENCODING>.txt (159.BIG5.txt, 160.GB2312.txt).
# The build converts each into the byte form the program carries: CR LF line
# ends, no line end after the last line, in the named encoding. A character
# the encoding lacks fails the build and names its line, so a table never
# ships with a silently dropped or replaced character.
# The converted files become custom resources of type "LANG"; include this
# before cmake/EmbedResources.cmake, after mixora_core is defined.

find_program(MIXORA_ICONV iconv REQUIRED)

file(GLOB _mixora_lang_sources LIST_DIRECTORIES false CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/resources/lang/*.txt")
set(_mixora_lang_out_dir "${CMAKE_CURRENT_BINARY_DIR}/generated/resources/LANG")
file(MAKE_DIRECTORY "${_mixora_lang_out_dir}")

foreach(_source IN LISTS _mixora_lang_sources)
  get_filename_component(_name "${_source}" NAME)
  if(NOT _name MATCHES "^([0-9]+)\\.([A-Za-z0-9-]+)\\.txt$")
    message(FATAL_ERROR "Language table ${_source}: name it <ID>.<ENCODING>.txt")
  endif()
  set(_id "${CMAKE_MATCH_1}")
  set(_encoding "${CMAKE_MATCH_2}")
  set(_output "${_mixora_lang_out_dir}/${_id}.txt")
  add_custom_command(
    OUTPUT "${_output}"
    COMMAND "${CMAKE_COMMAND}" "-DSOURCE=${_source}" "-DOUTPUT=${_output}"
            "-DENCODING=${_encoding}" "-DICONV=${MIXORA_ICONV}"
            -P "${CMAKE_CURRENT_SOURCE_DIR}/cmake/ConvertLanguageTable.cmake"
    DEPENDS "${_source}" "${CMAKE_CURRENT_SOURCE_DIR}/cmake/ConvertLanguageTable.cmake"
    COMMENT "Converting language table ${_name} to ${_encoding}"
    VERBATIM)
  # Listed as a source so that building mixora_core runs the conversion.
  target_sources(mixora_core PRIVATE "${_output}")
  list(APPEND MIXORA_GENERATED_RESOURCES "${_output}")
endforeach()
