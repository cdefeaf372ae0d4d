# Windows: the launcher for this processor, and on x86_64 the Win32 tests,
# which ctest runs under 64-bit Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}")

if(NOT SFX_STAMP_TOOL)
  message(FATAL_ERROR "SFX_STAMP_TOOL must name the native stamp-stub program")
endif()

set(WIN32_SOURCES
  base/win32_seams.cpp
  base/messages_win32.cpp
  archive/catalog_file_win32.cpp
  archive/decimal_separator_win32.cpp
  launcher/failure_report.cpp
)

# The stub carries no C runtime start-up, no exceptions and no unwind tables,
# and imports only from system DLLs.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ENTRY_SYMBOL _LauncherEntry)
else()
  set(ENTRY_SYMBOL LauncherEntry)
endif()
set(LAUNCHER_NAME launcher-${CMAKE_SYSTEM_PROCESSOR})
add_executable(launcher WIN32
  launcher/launcher_main.cpp launcher/startup.cpp
  ${CORE_SOURCES} ${WIN32_SOURCES} resources/launcher.rc)
target_compile_options(launcher PRIVATE
  -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -ffunction-sections -fdata-sections -fno-stack-protector -fno-threadsafe-statics)
target_link_options(launcher PRIVATE
  -nostartfiles -nodefaultlibs -Wl,-e,${ENTRY_SYMBOL} -Wl,--gc-sections -s
  -Wl,-Map=${CMAKE_BINARY_DIR}/${LAUNCHER_NAME}.map)
target_link_libraries(launcher PRIVATE msvcrt kernel32 user32 gdi32 gcc)
set_target_properties(launcher PROPERTIES OUTPUT_NAME ${LAUNCHER_NAME})
add_custom_command(TARGET launcher POST_BUILD COMMAND ${SFX_STAMP_TOOL} $<TARGET_FILE:launcher>)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WINEPREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${WINEPREFIX_DIR} WINEDEBUG=-all /usr/lib/wine/wine64)

  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  add_executable(win32_tests
    tests/win32/test_seams.cpp
    tests/win32/temp_folder.cpp
    tests/win32/catalog_file_test.cpp
    tests/win32/messages_test.cpp
    pack/catalog_writer.cpp
    ${CORE_SOURCES} ${WIN32_SOURCES} resources/launcher.rc)
  target_link_libraries(win32_tests PRIVATE gtest gtest_main)
  target_link_options(win32_tests PRIVATE -static)
  add_test(NAME win32_tests COMMAND win32_tests)
endif()
