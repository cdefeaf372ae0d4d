# Native Linux: the core as a library, the tools, the tests and the fuzzers.
option(SFX_FUZZ "Build the fuzz targets with libFuzzer (needs clang)" OFF)

if(SFX_FUZZ)
  set(SANITIZE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_compile_options(${SANITIZE} -g)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(sfxcore STATIC ${CORE_SOURCES} base/messages_native.cpp base/failure_native.cpp)

# The builder's side: writing catalogs and reading launcher images.
find_package(Threads REQUIRED)
add_library(packcore STATIC pack/pe_image.cpp pack/catalog_writer.cpp pack/file_io.cpp pack/stream_codec.cpp
  pack/stream_check.cpp pack/utf8.cpp pack/stored_names.cpp pack/pack_inputs.cpp pack/configuration.cpp pack/setup_file.cpp
  pack/setup_builder.cpp pack/pe_resources.cpp pack/setup_face.cpp lzh/encoder.cpp)
target_link_libraries(packcore PUBLIC sfxcore Threads::Threads)
add_executable(stamp-stub pack/stamp_stub.cpp)
target_link_libraries(stamp-stub PRIVATE packcore)
add_executable(sfxpack pack/sfxpack_main.cpp)
target_link_libraries(sfxpack PRIVATE packcore)
# One process per command: no shared C++ runtime to load at start.
target_link_options(sfxpack PRIVATE -static-libstdc++ -static-libgcc)
if(NOT SFX_FUZZ)
  find_package(ZLIB REQUIRED)
  add_executable(lzh_bench bench/lzh_bench.cpp)
  target_link_libraries(lzh_bench PRIVATE packcore ZLIB::ZLIB)
endif()

# Each fuzz target is a libFuzzer binary in the fuzzing build and, in the
# ordinary build, a test that replays its seed corpus.
function(sfx_fuzz_target name)
  if(SFX_FUZZ)
    add_executable(${name} fuzz/${name}.cpp)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name} fuzz/${name}.cpp fuzz/replay_main.cpp)
    add_test(NAME ${name}-corpus COMMAND ${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

sfx_fuzz_target(fuzz_catalog sfxcore)
sfx_fuzz_target(fuzz_pe_image packcore)
sfx_fuzz_target(fuzz_configuration packcore)
add_library(lzh_reference STATIC tests/native/reference_decoder.cpp tests/native/lzh_harness.cpp)
target_link_libraries(lzh_reference PUBLIC sfxcore)
sfx_fuzz_target(fuzz_lzh_decode lzh_reference)
sfx_fuzz_target(fuzz_lzh_roundtrip lzh_reference packcore)

if(NOT SFX_FUZZ)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(native_tests
    tests/native/text_test.cpp
    tests/native/crc32_test.cpp
    tests/native/number_text_test.cpp
    tests/native/entry_list_test.cpp
    tests/native/catalog_reader_test.cpp
    tests/native/pe_image_test.cpp
    tests/native/lzh_model_test.cpp
    tests/native/lzh_decoder_test.cpp
    tests/native/lzh_encoder_test.cpp
    tests/native/setup_file_test.cpp
    tests/native/pack_inputs_test.cpp
    tests/native/setup_face_test.cpp
    tests/native/temp_tree.cpp
    tests/native/target_path_test.cpp
    tests/native/progress_math_test.cpp
    tests/native/launcher_text_test.cpp
  )
  target_link_libraries(native_tests PRIVATE packcore lzh_reference GTest::gtest_main)
  if(SFX_LAUNCHER_DIR)
    target_compile_definitions(native_tests PRIVATE SFX_LAUNCHER_DIR="${SFX_LAUNCHER_DIR}")
  endif()
  gtest_discover_tests(native_tests DISCOVERY_MODE PRE_TEST)

  # The launchers are built by the Windows configurations; build.sh hands
  # their folder over so the static checks run with the native tests.
  if(SFX_LAUNCHER_DIR)
    add_test(NAME launcher-image-i686
             COMMAND ${CMAKE_SOURCE_DIR}/tests/check_launcher_image.sh ${SFX_LAUNCHER_DIR}/launcher-i686.exe i386)
    add_test(NAME sfxpack-cli
             COMMAND ${CMAKE_SOURCE_DIR}/tests/sfxpack_cli_test.sh $<TARGET_FILE:sfxpack> ${SFX_LAUNCHER_DIR}/launcher-x86_64.exe)
    add_test(NAME launcher-image-x86_64
             COMMAND ${CMAKE_SOURCE_DIR}/tests/check_launcher_image.sh ${SFX_LAUNCHER_DIR}/launcher-x86_64.exe x86-64)
  endif()
endif()
