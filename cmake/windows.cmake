# Windows: the launcher for this processor, and on x86_64 the Win32 tests,
# which ctest runs under 64-bit Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}")

# The native build's tools: stamp-stub for the post-link step, sfxpack for
# the setups the tests run.
if(NOT SFX_NATIVE_DIR)
  message(FATAL_ERROR "SFX_NATIVE_DIR must name the native build folder")
endif()

set(WIN32_SOURCES
  base/win32_seams.cpp
  base/messages_win32.cpp
  archive/catalog_file_win32.cpp
  archive/decimal_separator_win32.cpp
  base/in_out_error.cpp
  launcher/failure_report.cpp
  extract/archive_io_win32.cpp
  extract/overwrite_win32.cpp
  extract/entry_extraction_win32.cpp
  extract/extraction_run_win32.cpp
  extract/extensions_win32.cpp
  progress/progress_update_win32.cpp
  progress/progress_dialog_win32.cpp
  launcher/directory_macros_win32.cpp
  launcher/program_launch_win32.cpp
  extract/delete_list_win32.cpp
  launcher/main_sequence_win32.cpp
)

# The stub carries no C runtime start-up, no exceptions and no unwind tables,
# and imports only from system DLLs. Its size is a budget: no copies of
# functions specialised for their arguments, no loops rewritten as library
# calls. Zero-initialised data goes to .bss only without -fdata-sections
# (MinGW's GCC puts it into .data sections otherwise).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ENTRY_SYMBOL _LauncherEntry)
else()
  set(ENTRY_SYMBOL LauncherEntry)
endif()
set(LAUNCHER_NAME launcher-${CMAKE_SYSTEM_PROCESSOR})
set(LAUNCHER_COMPILE_OPTIONS
  -Os -fno-ipa-cp-clone -fno-ipa-sra -fno-tree-loop-distribute-patterns
  -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables -ffunction-sections -fno-stack-protector -fno-threadsafe-statics -fno-ident)
# From a library, the stub takes only the objects it calls into.
add_library(launcher_parts STATIC ${CORE_SOURCES} ${WIN32_SOURCES})
target_compile_options(launcher_parts PRIVATE ${LAUNCHER_COMPILE_OPTIONS})
add_executable(launcher WIN32 launcher/launcher_main.cpp launcher/startup.cpp resources/launcher.rc)
target_compile_options(launcher PRIVATE ${LAUNCHER_COMPILE_OPTIONS})
target_link_options(launcher PRIVATE
  -nostartfiles -nodefaultlibs -Wl,-e,${ENTRY_SYMBOL} -Wl,--gc-sections -s
  -Wl,-Map=${CMAKE_BINARY_DIR}/${LAUNCHER_NAME}.map)
target_link_libraries(launcher PRIVATE launcher_parts msvcrt kernel32 user32 gdi32 gcc)
set_target_properties(launcher PROPERTIES OUTPUT_NAME ${LAUNCHER_NAME})
add_custom_command(TARGET launcher POST_BUILD COMMAND ${SFX_NATIVE_DIR}/stamp-stub $<TARGET_FILE:launcher>)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WINEPREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${WINEPREFIX_DIR} WINEDEBUG=-all ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)

  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  add_executable(win32_tests
    tests/win32/test_seams.cpp
    tests/win32/temp_folder.cpp
    tests/win32/catalog_file_test.cpp
    tests/win32/built_setup_test.cpp
    tests/win32/extraction_test.cpp
    tests/win32/progress_test.cpp
    launcher/startup.cpp
    tests/win32/setup_builder.cpp
    tests/win32/profile_values_test.cpp
    tests/win32/setup_face_test.cpp
    pack/catalog_writer.cpp
    pack/configuration.cpp
    lzh/encoder.cpp
    tests/win32/messages_test.cpp
    ${CORE_SOURCES} ${WIN32_SOURCES} resources/launcher.rc)
  target_link_libraries(win32_tests PRIVATE gtest gtest_main version shell32 imagehlp)
  target_link_options(win32_tests PRIVATE -static)
  add_test(NAME win32_tests COMMAND win32_tests)

  # A setup made by sfxpack with this launcher, for the tests to read.
  set(TEST_SETUP ${CMAKE_BINARY_DIR}/test-setup.exe)
  add_custom_command(OUTPUT ${TEST_SETUP}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=946684800
            ${SFX_NATIVE_DIR}/sfxpack build -o ${TEST_SETUP} --run setup.exe --args "/q <TD>"
            --stub $<TARGET_FILE:launcher> ${CMAKE_SOURCE_DIR}/tests/data/setup-tree
    DEPENDS launcher ${SFX_NATIVE_DIR}/sfxpack VERBATIM)
  # The same with an icon, version information and a manifest.
  set(FACE_SETUP ${CMAKE_BINARY_DIR}/face-setup.exe)
  add_custom_command(OUTPUT ${FACE_SETUP}
    COMMAND ${SFX_NATIVE_DIR}/sfxpack build --quiet -o ${FACE_SETUP} --run setup.exe
            --icon ${CMAKE_SOURCE_DIR}/tests/data/setup.ico --manifest as-invoker
            --version-info FileVersion=2.5.1.7 --version-info ProductVersion=2.5
            --version-info "ProductName=Sample Product" --version-info "CompanyName=Example Ltd"
            --version-info "LegalCopyright=(c) 2026 Example"
            --stub $<TARGET_FILE:launcher> ${CMAKE_SOURCE_DIR}/tests/data/setup-tree
    DEPENDS launcher ${SFX_NATIVE_DIR}/sfxpack ${CMAKE_SOURCE_DIR}/tests/data/setup.ico VERBATIM)
  add_custom_target(test_setup ALL DEPENDS ${TEST_SETUP} ${FACE_SETUP})
  string(REPLACE "/" "\\\\" TEST_SETUP_WINDOWS "Z:${TEST_SETUP}")
  string(REPLACE "/" "\\\\" FACE_SETUP_WINDOWS "Z:${FACE_SETUP}")
  set_tests_properties(win32_tests PROPERTIES ENVIRONMENT
                       "SFX_TEST_SETUP=${TEST_SETUP_WINDOWS};SFX_FACE_SETUP=${FACE_SETUP_WINDOWS}")

  # End to end: the real launcher running setups that sfxpack made, with a
  # setup program that records what it was given.
  add_executable(setup_recorder tests/e2e/setup_recorder.cpp)
  target_link_options(setup_recorder PRIVATE -static)
  add_test(NAME end_to_end
           COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.sh ${SFX_NATIVE_DIR}/sfxpack $<TARGET_FILE:launcher>
                   $<TARGET_FILE:setup_recorder> ${CMAKE_BINARY_DIR}/e2e)
endif()
