# Builds the sample skin package "Ember" (tools/sample-skin) into Ember.dll next
# to the mixora binary, where the skin menu looks for packages. The package is
# a resource-only Windows library made with the MinGW binutils: windres
# compiles the resource script into a COFF object, ld links it into a DLL with
# no code to speak of (the program never runs it, it only reads its resources).
# The bitmaps are committed, so building needs no Python; rerun
# tools/make_sample_skin.py after changing the art.
# Include after the mixora target is defined.

find_program(MIXORA_WINDRES x86_64-w64-mingw32-windres)
find_program(MIXORA_MINGW_LD x86_64-w64-mingw32-ld)
find_program(MIXORA_CPP cpp)
if(NOT MIXORA_WINDRES OR NOT MIXORA_MINGW_LD)
  message(FATAL_ERROR
    "The sample skin package needs x86_64-w64-mingw32-windres and x86_64-w64-mingw32-ld: "
    "install the Debian package binutils-mingw-w64-x86-64 (scripts/setup-deps.sh does).")
endif()
if(NOT MIXORA_CPP)
  message(FATAL_ERROR
    "The sample skin package needs the C preprocessor for windres: install the Debian package cpp.")
endif()

set(_ember_dir "${CMAKE_CURRENT_SOURCE_DIR}/tools/sample-skin")
set(_ember_rc "${_ember_dir}/skin.rc")
file(GLOB _ember_inputs CONFIGURE_DEPENDS "${_ember_dir}/*.bmp" "${_ember_dir}/*.txt")
set(_ember_build_dir "${CMAKE_CURRENT_BINARY_DIR}/sample-skin")
set(_ember_obj "${_ember_build_dir}/skin.o")
set(_ember_dll "${_ember_build_dir}/Ember.dll")

add_custom_command(
  OUTPUT "${_ember_dll}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${_ember_build_dir}"
  COMMAND "${MIXORA_WINDRES}" "--preprocessor=${MIXORA_CPP}" "--include-dir=${_ember_dir}"
          "${_ember_rc}" -O coff -o "${_ember_obj}"
  # No time stamp in the header: the same sources give the same bytes.
  COMMAND "${MIXORA_MINGW_LD}" --dll -e 0 --no-insert-timestamp -o "${_ember_dll}" "${_ember_obj}"
  DEPENDS "${_ember_rc}" ${_ember_inputs}
  WORKING_DIRECTORY "${_ember_dir}"
  COMMENT "Building the sample skin package Ember.dll"
  VERBATIM)
# The output of a custom command cannot name a target's folder, so the target
# places the package next to the binary (a cheap no-op when it is up to date).
add_custom_target(mixora_sample_skin ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${_ember_dll}" "$<TARGET_FILE_DIR:mixora>/Ember.dll"
  DEPENDS "${_ember_dll}"
  COMMENT "Placing Ember.dll next to mixora"
  VERBATIM)
