#!/usr/bin/env bash
# sfxpack from the command line: the round trip through a setup, and the
# errors: they name the file and the reason, exit non-zero and leave no
# half-written output behind.
set -u
sfxpack=$1 stub=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
fails_with() {  # expected exit code, expected text in the output, command...
  local code=$1 text=$2; shift 2
  "$@" >"$work/stdout" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$code" ] && cat "$work/stdout" "$work/err" | grep -q -- "$text" ||
    { echo "  exit $got: $(cat "$work/err")"; return 1; }
}

mkdir -p "$work/in/sub" "$work/in/empty"
echo "hello" >"$work/in/a.txt"
head -c 200000 /dev/urandom >"$work/in/sub/random.bin"
: >"$work/in/sub/zero.txt"

check "build" "$sfxpack" build -o "$work/setup.exe" --run a.txt --args "<TD>x" --stub "$stub" "$work/in"
check "the setup is executable" test -x "$work/setup.exe"
check "list shows the entries" bash -c "'$sfxpack' list '$work/setup.exe' | grep -q 'sub\\\\random.bin'"
check "test passes" "$sfxpack" test "$work/setup.exe"
check "extract" "$sfxpack" extract "$work/setup.exe" -C "$work/out"
check "extracted bytes match" cmp "$work/in/sub/random.bin" "$work/out/sub/random.bin"
check "empty file extracted" test -f "$work/out/sub/zero.txt" -a ! -s "$work/out/sub/zero.txt"
check "empty folder skipped" test ! -e "$work/out/empty"
check "--best round trip" "$sfxpack" build --best -o "$work/best.exe" --run a.txt --stub "$stub" "$work/in"
check "--best setup tests" "$sfxpack" test "$work/best.exe"
echo "raw codec" >"$work/raw.txt"
check "compress and decompress" bash -c "'$sfxpack' compress '$work/raw.txt' | '$sfxpack' decompress | cmp - '$work/raw.txt'"

# Refusals: exit code, what the message must say, the command. Each leaves
# no output behind.
refusals=(
  "1|missing: No such file|build -o $work/bad.exe --run a.txt --stub $stub $work/missing"
  "2|give --run|build -o $work/bad.exe $work/in"
  "2|option -o needs a value|build --run a.txt $work/in -o"
  "2|option -C needs a value|extract $work/setup.exe -C"
  "2|unknown option|list --bogus $work/setup.exe"
  "1|string resource 1|build -o $work/bad.exe --run a.txt --stub $work/in/a.txt $work/in"
  "1|the stub is itself a setup: it carries an archive at offset $(stat -c %s "$stub")|build -o $work/bad.exe --run a.txt --stub $work/setup.exe $work/in"
  "1|the folder $work/nowhere does not exist|build -o $work/nowhere/bad.exe --run a.txt --stub $stub $work/in"
  "1|the program to run, setup.exe, is not among the packed files|build -o $work/bad.exe --run setup.exe --stub $stub $work/in"
  "2|longer than the 259 characters the launcher reads|build -o $work/bad.exe --run a.txt --args $(printf '%0260d' 0) $work/in"
  "2|--manifest takes none, as-invoker|build -o $work/bad.exe --run a.txt --manifest admin $work/in"
  "2|--version-info takes KEY=VALUE|build -o $work/bad.exe --run a.txt --version-info Author=x $work/in"
  "1|a.txt: not an icon file: no icon header|build -o $work/bad.exe --run a.txt --icon $work/in/a.txt --stub $stub $work/in"
  "1|version '1.2.3.4.5' is not one to four numbers|build -o $work/bad.exe --run a.txt --version-info FileVersion=1.2.3.4.5 --stub $stub $work/in"
)
for refusal in "${refusals[@]}"; do
  IFS='|' read -r code text command <<<"$refusal"
  # shellcheck disable=SC2086
  check "refused: $text" fails_with "$code" "$text" "$sfxpack" $command
  check "  and nothing written" bash -c "! ls $work/bad.exe* $work/nowhere >/dev/null 2>&1"
done
check "every bad name of a run is reported" bash -c "mkdir -p '$work/bad/x' && touch '$work/bad/a:1' '$work/bad/x/b|2' &&
  ! '$sfxpack' build -o '$work/bad.exe' --run a.txt --stub '$stub' '$work/bad' 2>'$work/err';
  grep -q 'a:1: can.t be stored' '$work/err' && grep -q 'b|2: can.t be stored' '$work/err'"
check "a repeated macro is warned of" bash -c "'$sfxpack' build -o '$work/twice.exe' --run a.txt --args '<TD>a <td>b' \
  --stub '$stub' '$work/in' 2>&1 | grep -q 'holds <TD> more than once'"
cp "$work/setup.exe" "$work/in/setup-out.exe"
check "a build into a packed folder leaves the earlier setup out" bash -c "'$sfxpack' build -o '$work/in/setup-out.exe' \
  --run a.txt --stub '$stub' '$work/in' && ! '$sfxpack' list '$work/in/setup-out.exe' | grep -qE ' setup-out\.exe$'"
rm -f "$work/in/setup-out.exe"
head -c $(($(stat -c %s "$stub") + 200)) "$work/setup.exe" >"$work/cut.exe"
check "a cut setup fails its test" fails_with 1 "FAILED" "$sfxpack" test "$work/cut.exe"
# One flipped byte in the middle of random.bin's data: the checksum names it.
cp "$work/setup.exe" "$work/flipped.exe"
at=$(($(stat -c %s "$work/setup.exe") - 100000))
printf "\\x$(printf %02x $(( ($(od -An -tu1 -j$at -N1 "$work/setup.exe") + 1) % 256 )))" |
  dd of="$work/flipped.exe" bs=1 seek=$at conv=notrunc 2>/dev/null
check "test names the damaged entry" fails_with 1 "FAILED sub.random.bin" "$sfxpack" test "$work/flipped.exe"
check "extract refuses the damaged entry" fails_with 1 "random.bin: .*not written" \
  "$sfxpack" extract "$work/flipped.exe" -C "$work/flipped"
check "the damaged entry is not written, the others are" test ! -e "$work/flipped/sub/random.bin" -a -e "$work/flipped/a.txt"
check "--no-checksums: test says it checked sizes only" bash -c "'$sfxpack' build --no-checksums -o '$work/nosum.exe' \
  --run a.txt --stub '$stub' '$work/in' && '$sfxpack' test '$work/nosum.exe' | grep -q 'sizes checked only'"
# Extract never follows a link planted in the folder, and never touches a
# user's own file beside the target.
mkdir -p "$work/planted/sub" "$work/outside"
echo "outside" >"$work/outside/victim.txt"
ln -s "$work/outside/victim.txt" "$work/planted/a.txt.partial"
ln -s "$work/outside/victim.txt" "$work/planted/a.txt"
check "extract over planted links" "$sfxpack" extract "$work/setup.exe" -C "$work/planted"
check "the linked file outside is untouched" grep -qx outside "$work/outside/victim.txt"
check "the link itself was replaced by the file" bash -c "test ! -L '$work/planted/a.txt' && grep -qx hello '$work/planted/a.txt'"
check "a user's a.txt.partial stays" test -L "$work/planted/a.txt.partial"
rm -rf "$work/planted/sub" && ln -s "$work/outside" "$work/planted/sub"
check "a linked folder is refused" fails_with 1 "sub: a symbolic link" "$sfxpack" extract "$work/setup.exe" -C "$work/planted"
check "nothing written through it" test ! -e "$work/outside/random.bin"

# Output to a FIFO is written into it; the FIFO stays a FIFO.
mkfifo "$work/fifo"
cat "$work/fifo" >"$work/from-fifo" &
check "decompress into a FIFO" bash -c "'$sfxpack' compress '$work/raw.txt' | '$sfxpack' decompress - '$work/fifo'"
wait
check "the FIFO stays a FIFO" test -p "$work/fifo"
check "its reader got the bytes" cmp "$work/raw.txt" "$work/from-fifo"

# A stored name with terminal escapes: listed escaped and flagged, test fails.
mkdir -p "$work/escape"
echo "x" >"$work/escape/AAAAtitle.txt"
"$sfxpack" build -o "$work/escape.exe" --run AAAAtitle.txt --stub "$stub" "$work/escape" 2>/dev/null
perl -0777 -pi -e 's/AAAAtitle\.txt/\x1b]0\x07title.txt/' "$work/escape.exe"  # as long as before
check "list flags a control character" fails_with 1 'x1B]0\\x07title.txt   <- a control character' "$sfxpack" list "$work/escape.exe"
check "list writes no raw escape" bash -c "! '$sfxpack' list '$work/escape.exe' | grep -q \$'\\x1b'"
check "test fails on it" fails_with 1 "which the launcher refuses" "$sfxpack" test "$work/escape.exe"

# A catalog cut short: what can be read is listed, the rest marked.
head -c $(($(stat -c %s "$stub") + 40)) "$work/setup.exe" >"$work/cut-catalog.exe"
check "list of a cut catalog shows the first entry" fails_with 1 "a.txt   <- its data lies beyond" \
  "$sfxpack" list "$work/cut-catalog.exe"
check "and says the catalog breaks off" fails_with 1 "The catalog breaks off" "$sfxpack" list "$work/cut-catalog.exe"
check "list shows the extensions" bash -c "'$sfxpack' build --quiet -o '$work/ext.exe' --exit-code --own-folder \
  --pass-arguments --run a.txt --stub '$stub' '$work/in' && '$sfxpack' list '$work/ext.exe' |
  grep -qx 'Extensions: the program.s exit code, a folder of its own, arguments passed on'"
check "list shows the icon, version strings and manifest" bash -c "'$sfxpack' build --quiet -o '$work/face.exe' \
  --icon '$(dirname "$0")/data/setup.ico' --version-info FileVersion=4.2 --manifest highest-available --run a.txt \
  --stub '$stub' '$work/in' && '$sfxpack' list '$work/face.exe' > '$work/face.txt' &&
  grep -qx 'Icon:  32x32, 32 bits; 16x16, 32 bits' '$work/face.txt' && grep -qx 'Version: FileVersion = 4.2' '$work/face.txt' &&
  grep -qx 'Version: OriginalFilename = face.exe' '$work/face.txt' && grep -qx 'Manifest: highestAvailable' '$work/face.txt' &&
  '$sfxpack' test '$work/face.exe' >/dev/null"
check "list shows none without them" bash -c "'$sfxpack' list '$work/setup.exe' | grep -qx 'Extensions: none'"
check "a bare stub is no setup" fails_with 1 "not a valid archive" "$sfxpack" list "$stub"
check "help" bash -c "'$sfxpack' build --help | grep -q 'usage: sfxpack build'"

echo "$failures failed"
[ "$failures" -eq 0 ]
