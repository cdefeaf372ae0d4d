#!/usr/bin/env bash
# End-to-end runs of the real launcher (x86_64) under Wine on a virtual
# display: setups made with sfxpack, a recording setup program, real
# windows driven with xdotool, screenshots with ImageMagick's import.
# Usage: run_e2e.sh SFXPACK LAUNCHER RECORDER OUTPUT_DIR   (DISPLAY and WINEPREFIX set)
set -u
sfxpack=$1 launcher=$2 recorder=$3 out=$4
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
rm -rf "$out" && mkdir -p "$out"
failures=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

temp_windows=$($wine cmd.exe /c echo %TEMP% 2>/dev/null | tr -d '\r')\\
temp=$($wine winepath.exe -u "$temp_windows" 2>/dev/null | tr -d '\r')
temp=${temp%/}
result_unix="$out/result.txt"
export SFX_RESULT=$($wine winepath.exe -w "$result_unix" 2>/dev/null | tr -d '\r')
echo "Wine's temporary folder: $temp_windows ($temp)"

payload="$out/payload"
mkdir -p "$payload/sub"
cp "$recorder" "$payload/setup.exe"
echo "data" >"$payload/sub/data.txt"
echo "readme" >"$payload/readme.txt"

clean_temp() { rm -rf "$temp/setup.exe" "$temp/sub" "$temp/readme.txt" "$temp/big.bin" "$temp/x.txt" "$temp/\$d\$e\$l\$.lst" "$result_unix"; }

# Starts a setup in the background; `wait_launcher` gives its exit code.
# Wine's output goes to a file, so no service it starts holds our output.
start_launcher() { (cd "$out" && exec $wine "$@" </dev/null >>"$out/wine.log" 2>&1) & launcher_pid=$!; }
wait_launcher() {
  for _ in $(seq 1 300); do
    kill -0 "$launcher_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$launcher_pid" 2>/dev/null; then kill "$launcher_pid"; echo "timed out"; return 124; fi
  wait "$launcher_pid"
}
# Waits for a window with this exact title; prints its id.
find_window() {
  for _ in $(seq 1 100); do
    local id
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
build() { "$sfxpack" build --quiet --stub "$launcher" "$@" >/dev/null; }
# Waits for the progress window, takes an optional screenshot, then clicks
# its Cancel button.
cancel_progress() {  # [screenshot]
  progress=$(find_window "Varimo Setup")
  [ -n "$progress" ] || return 1
  sleep 0.5
  [ -n "${1:-}" ] && import -window root "$1"
  eval "$(xdotool getwindowgeometry --shell "$progress")"
  xdotool mousemove --window "$progress" $((WIDTH / 2)) $((HEIGHT * 82 / 100)) click 1
}
# Checks that a message box with this title appears and clicks its OK
# button; a third argument names a screenshot to take first.
expect_box() {  # title, what, [screenshot]
  local box
  box=$(find_window "$1")
  check "$2: the box \"$1\" appears" test -n "$box"
  [ -n "$box" ] || return
  [ -n "${3:-}" ] && import -window root "$3"
  answer "$box" ok
}
# Answers a message box until it is gone (a key sent before the window takes
# the focus is lost): with a key, or with a click on the OK button of a
# one-button box, bottom centre, which needs no focus.
answer() {  # window id, key or "ok"
  for _ in 1 2 3 4 5; do
    if [ "$2" = ok ]; then
      eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
      xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT - 21)) click 1 2>/dev/null
    else
      xdotool windowfocus --sync "$1" key "$2" 2>/dev/null
    fi
    for _ in $(seq 1 20); do
      xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
      sleep 0.1
    done
  done
}

# 1. A normal run: extract, run with the macros expanded, wait, delete.
clean_temp
build -o "$out/normal.exe" --run setup.exe --args "/x <AD> <wd>|<Sd>|<tD> <TD> /exit=7" "$payload"
start_launcher normal.exe; wait_launcher; code=$?
check "normal run exits 0 whatever the setup returned" test "$code" -eq 0
check "the setup ran from the temporary folder" grep -qxF "here=$temp_windows" "$result_unix"
out_windows=$($wine winepath.exe -w "$out" 2>/dev/null | tr -d '\r')
check "macros expanded once each, in any case" \
  grep -qxF "command=${temp_windows}setup.exe /x $out_windows\\ C:\\windows\\|C:\\windows\\system32\\|$temp_windows <TD> /exit=7" "$result_unix"
check "the setup inherits the launcher's folder" grep -qxF "cwd=$out_windows" "$result_unix"
check "the setup saw the delete list" grep -qxF 'file=$d$e$l$.lst' "$result_unix"
check "extracted files deleted" test ! -e "$temp/setup.exe" -a ! -e "$temp/sub/data.txt" -a ! -e "$temp/readme.txt"
check "the delete list deleted" test ! -e "$temp/\$d\$e\$l\$.lst"
check "folders stay" test -d "$temp/sub"

# 1b. Parameters that begin and end with quotation marks arrive as given
# (the profile reader would strip an enclosing pair).
clean_temp
build -o "$out/quoted.exe" --run setup.exe --args '"<TD>a b" /q "c d"' "$payload"
start_launcher quoted.exe; wait_launcher; code=$?
check "quoted parameters arrive whole" \
  grep -qxF "command=${temp_windows}setup.exe \"${temp_windows}a b\" /q \"c d\"" "$result_unix"

# 2. No program configured: everything stays.
clean_temp
build -o "$out/noprogram.exe" --run "" "$payload"
start_launcher noprogram.exe; wait_launcher; code=$?
check "no program: exit 0" test "$code" -eq 0
check "no program: files and list stay" test -e "$temp/readme.txt" -a -e "$temp/\$d\$e\$l\$.lst"

# 3. A program that cannot be started: no message, files deleted.
clean_temp
echo "not a program" >"$payload/broken.exe"
build -o "$out/missing.exe" --run "broken.exe" "$payload"
rm "$payload/broken.exe"
start_launcher missing.exe; wait_launcher; code=$?
check "unstartable program: exit 0" test "$code" -eq 0
check "unstartable program: files deleted" test ! -e "$temp/readme.txt" -a ! -e "$temp/broken.exe" -a ! -e "$temp/\$d\$e\$l\$.lst"

# 4. The delete list removed by the setup: the failure report, exit 1.
clean_temp
build -o "$out/nolist.exe" --run setup.exe --args "/delete-list" "$payload"
start_launcher nolist.exe
expect_box Anwendungsfehler "list removed" "$out/failure-report.png"
wait_launcher; code=$?
check "failure report: exit 1" test "$code" -eq 1
check "failure report: extracted files stay" test -e "$temp/readme.txt"

# 5. A damaged catalog: the archive read error box, nothing run.
clean_temp
cp "$out/normal.exe" "$out/damaged.exe"
stub_size=$(stat -c %s "$launcher")
printf '\x07' | dd of="$out/damaged.exe" bs=1 seek=$((stub_size + 1)) conv=notrunc 2>/dev/null
start_launcher damaged.exe
expect_box "Archive read error" "damaged catalog"
wait_launcher; code=$?
check "damaged catalog: exit 1392 (cut to 112)" test "$code" -eq 112
check "damaged catalog: nothing ran" test ! -e "$result_unix"

# 6. An offset resource that does not convert: EConvertError in the report.
clean_temp
cp "$out/normal.exe" "$out/badoffset.exe"
# String resource 1 holds the stub's length as nine UTF-16 digits.
perl -0777 -pi -e 'BEGIN { my $d = shift; ($w, $b) = map { join "", map { "$_\0" } split //, $_ } $d, "0000000x9" }
  s/\Q$w\E/$b/' "$(printf %09d "$stub_size")" "$out/badoffset.exe"
start_launcher badoffset.exe
expect_box Anwendungsfehler "unconvertible offset"
wait_launcher; code=$?
check "unconvertible offset: exit 1" test "$code" -eq 1

# 7. The overwrite prompt, answered with real key presses.
for answer in y n Escape; do
  clean_temp
  echo "old" >"$temp/readme.txt"
  build -o "$out/ask.exe" --ask-overwrite --run setup.exe "$payload"
  start_launcher ask.exe
  prompt=$(find_window "File Exists")
  check "overwrite prompt appears ($answer)" test -n "$prompt"
  [ "$answer" = y ] && [ -n "$prompt" ] && import -window root "$out/overwrite-prompt.png"
  [ -n "$prompt" ] && answer "$prompt" "$answer"
  wait_launcher; code=$?
  check "overwrite prompt ($answer): exit 0" test "$code" -eq 0
  case $answer in
    y) check "Yes replaces the file and the setup runs" test -e "$result_unix" -a ! -e "$temp/readme.txt" ;;
    n) check "No keeps the file, the setup runs" bash -c "test -e '$result_unix' && grep -qx old '$temp/readme.txt'" ;;
    Escape) check "Cancel keeps the file and runs nothing" bash -c "test ! -e '$result_unix' && grep -qx old '$temp/readme.txt'" ;;
  esac
done

# 8. Cancel during a slow extraction; a screenshot of the progress window.
clean_temp
mkdir -p "$out/big"
cp "$recorder" "$out/big/setup.exe"
head -c 60000000 /dev/urandom >"$out/big/big.bin"
build -o "$out/big.exe" --fast --run setup.exe "$out/big"
start_launcher big.exe
check "the progress window appears and takes a click on Cancel" cancel_progress "$out/progress.png"
wait_launcher; code=$?
check "cancelled run: exit 0" test "$code" -eq 0
check "cancelled run: nothing ran" test ! -e "$result_unix"
check "cancelled run: the files, the cut one and the list are gone" \
  test ! -e "$temp/big.bin" -a ! -e "$temp/setup.exe" -a ! -e "$temp/\$d\$e\$l\$.lst"

# 9. A setup signed after building still extracts and runs.
clean_temp
if command -v osslsigncode >/dev/null && command -v openssl >/dev/null; then
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=throw-away test" \
    -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
  osslsigncode sign -certs "$out/cert.pem" -key "$out/key.pem" -in "$out/normal.exe" -out "$out/signed.exe" >/dev/null
  start_launcher signed.exe; wait_launcher; code=$?
  check "signed setup: exit 0" test "$code" -eq 0
  check "signed setup: the setup ran" test -e "$result_unix"
  check "signed setup: files deleted" test ! -e "$temp/readme.txt"
else
  echo "FAILED: osslsigncode or openssl missing"; failures=$((failures + 1))
fi

# 10. Hostile names: a NUL, then CR LF and a path. Windows would create only
# the part before the NUL, and the path would become a line of its own in
# the delete list. The name is refused before anything is written.
marker_root="$($wine winepath.exe -u 'C:\' 2>/dev/null | tr -d '\r')"
for target in MARKER_cwd.txt 'C:\MARKER_root.txt'; do
  clean_temp
  echo "keep me" >"$out/MARKER_cwd.txt"
  echo "keep me" >"$marker_root/MARKER_root.txt"
  mkdir -p "$out/hostile"
  cp "$recorder" "$out/hostile/setup.exe"
  # A placeholder name of the same length, patched to hold NUL CR LF.
  placeholder="x.txt___$(printf %s "$target" | tr '\\:' '__')"
  echo "x" >"$out/hostile/$placeholder"
  build -o "$out/hostile.exe" --run setup.exe "$out/hostile"
  perl -0777 -pi -e 'BEGIN { ($from, $target) = (shift, shift) } s/\Q$from\E/x.txt\0\r\n$target/' \
    "$placeholder" "$target" "$out/hostile.exe"
  check "hostile name ($target): patched into the catalog" bash -c "! grep -qaF '$placeholder' '$out/hostile.exe'"
  start_launcher hostile.exe
  expect_box Anwendungsfehler "hostile name ($target)"
  wait_launcher; code=$?
  check "hostile name ($target): exit 1" test "$code" -eq 1
  check "hostile name ($target): every marker survives" test -e "$out/MARKER_cwd.txt" -a -e "$marker_root/MARKER_root.txt"
  check "hostile name ($target): nothing ran" test ! -e "$result_unix"
  check "hostile name ($target): nothing left in the temporary folder" \
    test ! -e "$temp/x.txt" -a ! -e "$temp/setup.exe" -a ! -e "$temp/\$d\$e\$l\$.lst"
  rm -rf "$out/hostile" "$marker_root/MARKER_root.txt"
done

# 11. A temporary folder with a blank and a planted C:\My.exe: the setup's
# own path is quoted, so the planted program never runs.
reg_value() { $wine reg query 'HKCU\Environment' /v "$1" 2>/dev/null | tr -d '\r' | awk -v k="$1" '$1 == k { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
old_temp=$(reg_value TEMP) old_tmp=$(reg_value TMP)
set_temp() { for v in TEMP TMP; do $wine reg add 'HKCU\Environment' /v $v /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1; done; }
mkdir -p "$marker_root/My Temp"
cp "$recorder" "$marker_root/My.exe"
set_temp 'C:\My Temp'
start_launcher normal.exe; wait_launcher; code=$?
set_temp "$old_temp"
[ "$old_tmp" = "$old_temp" ] || $wine reg add 'HKCU\Environment' /v TMP /t REG_EXPAND_SZ /d "$old_tmp" /f >/dev/null 2>&1
check "blank in TEMP: exit 0" test "$code" -eq 0
check "blank in TEMP: the setup ran, not C:\\My.exe" grep -qxF 'here=C:\My Temp\' "$result_unix"
check "blank in TEMP: its path reached it quoted" grep -qF 'command="C:\My Temp\setup.exe" /x' "$result_unix"
check "blank in TEMP: files deleted" test ! -e "$marker_root/My Temp/setup.exe" -a ! -e "$marker_root/My Temp/readme.txt"
rm -rf "$marker_root/My.exe" "$marker_root/My Temp" "$result_unix"

# 12. A damaged setup never runs: one changed byte in the data that keeps
# the size (the checksum tells), and a download cut short inside the data
# (the size tells). Exit codes reach the shell cut to 8 bits: ERROR_CRC (23)
# and ERROR_FILE_CORRUPT (1392 & 255 = 112).
stub_size=$(stat -c %s "$launcher")
mkdir -p "$out/large"
cp "$recorder" "$out/large/setup.exe"
perl -e 'srand(7); print map { chr(int(rand(256))) } 1 .. 300000' >"$out/large/big.bin"
build -o "$out/large.exe" --run setup.exe "$out/large"
# big.bin comes first; find a byte near the end of its data whose change
# keeps the decoded size.
flip_byte() {  # file, offset
  local value
  value=$(od -An -tu1 -j"$2" -N1 "$1")
  printf "\\x$(printf %02x $(( (value + 1) % 256 )))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
# Copies a setup with one byte changed near the end of big.bin's data, where
# a change keeps the decoded size.
flip_keeping_size() {  # setup, copy
  local at data_end=$((stub_size + 300000))
  for at in $(seq $((data_end - 40)) $((data_end - 1))); do
    cp "$1" "$2"
    flip_byte "$2" "$at"
    "$sfxpack" test "$2" 2>/dev/null | grep -q "content differs" && return 0
  done
  return 1
}
check "a byte change that keeps the size found" flip_keeping_size "$out/large.exe" "$out/flipped.exe"
head -c $((stub_size + 150000)) "$out/large.exe" >"$out/cut.exe"
for case in flipped:23 cut:112; do
  name=${case%%:*} expected=${case##*:}
  clean_temp
  start_launcher "$name.exe"
  expect_box "Setup stopped" "$name setup" "$out/damaged-$name.png"
  wait_launcher; code=$?
  check "$name setup: exit $expected" test "$code" -eq "$expected"
  check "$name setup: nothing ran" test ! -e "$result_unix"
  check "$name setup: nothing left in the temporary folder" \
    test ! -e "$temp/big.bin" -a ! -e "$temp/setup.exe" -a ! -e "$temp/\$d\$e\$l\$.lst"
done

# 13. A read-only payload file is deleted after the run like any other.
clean_temp
chmod 444 "$payload/readme.txt"
build -o "$out/readonly.exe" --run setup.exe "$payload"
chmod 644 "$payload/readme.txt"
start_launcher readonly.exe; wait_launcher; code=$?
check "read-only file: the setup ran" test -e "$result_unix"
check "read-only file: deleted afterwards" test ! -e "$temp/readme.txt" -a ! -e "$temp/\$d\$e\$l\$.lst"

# 14. The opt-in extensions. Exit codes reach the shell cut to 8 bits.
# The setup program's own exit code:
clean_temp
build -o "$out/exitcode.exe" --exit-code --run setup.exe --args "/exit=42" "$payload"
start_launcher exitcode.exe; wait_launcher; code=$?
check "exit code: the program's 42 passed on" test "$code" -eq 42
# A damaged setup (ERROR_CRC), a program that can't start (the system's
# reason), a cancel (ERROR_CANCELLED, 1223 & 255 = 199):
build -o "$out/exit-whole.exe" --exit-code --run setup.exe "$out/large"
flip_keeping_size "$out/exit-whole.exe" "$out/exit-flipped.exe"
clean_temp
start_launcher exit-flipped.exe
expect_box "Setup stopped" "exit code, damaged setup"
wait_launcher; code=$?
check "exit code: a damaged setup gives 23" test "$code" -eq 23
echo "not a program" >"$payload/broken.exe"
build -o "$out/broken-exit.exe" --exit-code --run broken.exe "$payload"
rm "$payload/broken.exe"
clean_temp
start_launcher broken-exit.exe; wait_launcher; code=$?
check "exit code: a program that can't start gives the system's reason (got $code)" test "$code" -ne 0 -a "$code" -ne 1
build -o "$out/big-exit.exe" --exit-code --fast --run setup.exe "$out/big"
clean_temp
start_launcher big-exit.exe
cancel_progress
wait_launcher; code=$?
check "exit code: a cancel gives 1223" test "$code" -eq 199

# Two setups at once, each in its own folder (read-only files too): no
# clash, both folders gone afterwards, nothing left in the temporary folder.
clean_temp
chmod 444 "$payload/readme.txt"
build -o "$out/own.exe" --own-folder --run setup.exe --args "/wait=1500 <TD>" "$payload"
chmod 644 "$payload/readme.txt"
pids=()
for n in 1 2; do
  own_result=$($wine winepath.exe -w "$out/own-$n.txt" 2>/dev/null | tr -d '\r')
  (cd "$out" && SFX_RESULT=$own_result exec $wine own.exe </dev/null >>"$out/wine.log" 2>&1) &
  pids+=($!)
done
codes=()
for pid in "${pids[@]}"; do wait "$pid"; codes+=($?); done
check "own folders: both runs exit 0" test "${codes[0]}" -eq 0 -a "${codes[1]}" -eq 0
here1=$(grep '^here=' "$out/own-1.txt" | cut -d= -f2-) here2=$(grep '^here=' "$out/own-2.txt" | cut -d= -f2-)
check "own folders: each ran in a folder of its own ($here1, $here2)" \
  bash -c "[ -n '$here1' ] && [ '$here1' != '$here2' ] && [[ '$here1' == '$temp_windows'sfx-* ]]"
check "own folders: <TD> names the own folder, the current folder is it" \
  bash -c "grep -qxF 'command=${here1}setup.exe /wait=1500 ${here1}' '$out/own-1.txt' && grep -qxF 'cwd=${here1%\\}' '$out/own-1.txt'"
check "own folders: both gone afterwards" bash -c "! ls -d '$temp'/sfx-* 2>/dev/null"
check "own folders: nothing in the temporary folder's root" test ! -e "$temp/readme.txt" -a ! -e "$temp/\$d\$e\$l\$.lst"

# The user's arguments, exactly as typed, after the parameters.
clean_temp
build -o "$out/passargs.exe" --pass-arguments --run setup.exe --args "/q" "$payload"
start_launcher passargs.exe /S "a b"; wait_launcher
check "arguments: /S \"a b\" passed on" grep -qxF "command=${temp_windows}setup.exe /q /S \"a b\"" "$result_unix"
build -o "$out/noargs.exe" --run setup.exe --args "/q" "$payload"
clean_temp
start_launcher noargs.exe /S; wait_launcher
check "arguments: not passed without the option" grep -qxF "command=${temp_windows}setup.exe /q" "$result_unix"

# 15. A setup with an icon, version information and an as-invoker manifest
# extracts and runs, and again once signed.
clean_temp
build -o "$out/face.exe" --icon "$(dirname "$0")/../data/setup.ico" --version-info FileVersion=3.1 \
  --manifest as-invoker --run setup.exe "$payload"
start_launcher face.exe; wait_launcher; code=$?
check "dressed setup: exit 0, the setup ran, files deleted" \
  bash -c "[ $code -eq 0 ] && [ -e '$result_unix' ] && [ ! -e '$temp/readme.txt' ]"
clean_temp
osslsigncode sign -certs "$out/cert.pem" -key "$out/key.pem" -in "$out/face.exe" -out "$out/face-signed.exe" >/dev/null
check "dressed setup: the signature verifies" bash -c "osslsigncode verify -CAfile '$out/cert.pem' -in '$out/face-signed.exe' >/dev/null 2>&1"
start_launcher face-signed.exe; wait_launcher; code=$?
check "dressed and signed setup: exit 0, the setup ran" bash -c "[ $code -eq 0 ] && [ -e '$result_unix' ]"

clean_temp
echo "screenshots: $out/progress.png $out/overwrite-prompt.png $out/failure-report.png $out/damaged-flipped.png"
echo "$failures failed"
[ "$failures" -eq 0 ]
