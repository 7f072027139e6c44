# Build flavours for checking the program: sanitizers, fuzzing, warnings as
# errors. Included by the top-level CMakeLists.txt before any target exists,
# so the flags reach every library, test and the program alike.

if(MIXORA_SANITIZE AND MIXORA_TSAN)
  message(FATAL_ERROR "MIXORA_SANITIZE and MIXORA_TSAN cannot be combined: build them apart.")
endif()

if(MIXORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MIXORA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(MIXORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MIXORA_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++.")
  endif()
  # Coverage feedback for libFuzzer in every library; only the fuzz targets
  # link the fuzzer's own main (fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Warnings only: headers of Qt, GStreamer, GLib and the C++ library come in as
# system headers (-isystem) and stay out of it.
if(MIXORA_WERROR)
  add_compile_options(-Werror)
endif()
