#!/usr/bin/env bash
# Builds and runs every test: native unit tests, the static checks of both
# launchers, the Win32 tests under Wine on a virtual display, and a short
# run of every fuzz target. FUZZ_SECONDS sets the length of each fuzz run.
set -uo pipefail
cd "$(dirname "$0")"
./build.sh || exit 1

root=$PWD
passed=0
failed=0
record() {  # name, exit status
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "PASS $1"; else failed=$((failed + 1)); echo "FAIL $1"; fi
}

ctest --test-dir build/native --output-on-failure -j "$(nproc)"
record "native tests" $?

# Wine keeps its own prefix in the build folder. One wineserver and its
# services serve the whole run, started here with their output going
# nowhere: a service that inherited ctest's output pipe would keep ctest
# waiting after the last test.
export WINEPREFIX="$root/build/win-x86_64/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  /usr/lib/wine/wineserver -p
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
  ctest --test-dir build/win-x86_64 --output-on-failure --timeout 300
  status=$?
  /usr/lib/wine/wineserver -k
  exit $status'
record "win32 tests" $?

# Fuzzing: clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSFX_FUZZ=ON >/dev/null &&
  cmake --build build/fuzz -j "$(nproc)" >/dev/null
record "fuzz build" $?
for target in build/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="build/fuzz/corpus-$name"
  mkdir -p "$work"
  "$target" -max_total_time="${FUZZ_SECONDS:-20}" -print_final_stats=0 "$work" "fuzz/corpus/$name" \
    >"build/fuzz/$name.log" 2>&1
  status=$?
  [ $status -eq 0 ] || tail -30 "build/fuzz/$name.log"
  record "fuzz $name" $status
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
