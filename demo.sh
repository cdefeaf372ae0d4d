#!/usr/bin/env bash
# The main job: builds everything, packs a small demo setup with sfxpack and
# runs it with the x86_64 launcher under Wine on a virtual display, then
# reports what happened.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh >/dev/null
root=$PWD
work="$root/build/demo"
rm -rf "$work" && mkdir -p "$work/payload"
cp -r demo/payload/. "$work/payload/"
cp build/win-x86_64/setup_recorder.exe "$work/payload/setup.exe"
# Something large enough to watch the progress window at work.
cp /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll "$work/payload/docs/library.dll"

build/bin/sfxpack build -o "$work/demo-setup.exe" --stub build/bin/launcher-x86_64.exe \
  --icon tests/data/setup.ico --version-info "ProductName=Demo Product" --version-info FileVersion=1.2 \
  --manifest as-invoker --exit-code --run setup.exe --args "/demo <TD>" "$work/payload"
echo "== the setup =="
build/bin/sfxpack list "$work/demo-setup.exe"

export WINEPREFIX="$root/build/win-x86_64/wineprefix" WINEDEBUG=-all
export SFX_RESULT_UNIX="$work/setup-output.txt"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wine=/usr/lib/wine/wine64
  $wine wineboot -i </dev/null >/dev/null 2>&1
  export SFX_RESULT=$($wine winepath.exe -w "$SFX_RESULT_UNIX" 2>/dev/null | tr -d "\r")
  temp=$($wine winepath.exe -u "$($wine cmd.exe /c echo %TEMP% 2>/dev/null | tr -d "\r")" 2>/dev/null | tr -d "\r")
  (cd "'"$work"'" && $wine demo-setup.exe) & pid=$!
  for _ in $(seq 1 100); do
    xdotool search --name "^Varimo Setup\$" >/dev/null 2>&1 && { import -window root "'"$work"'/progress.png"; break; }
    sleep 0.05
  done
  wait $pid; code=$?
  echo "== what the setup program saw (its output file) =="
  cat "$SFX_RESULT_UNIX"
  echo "== clean-up =="
  left=0
  for f in setup.exe readme.txt docs/notes.txt docs/library.dll "\$d\$e\$l\$.lst"; do
    if [ -e "$temp/$f" ]; then echo "still there: $f"; left=1; fi
  done
  [ $left -eq 0 ] && echo "every extracted file and the delete list were deleted from $temp"
  echo "== exit code: $code =="
  /usr/lib/wine/wineserver -k
  exit $code'
if [ -f "$work/progress.png" ]; then
  echo "screenshot of the progress window: $work/progress.png"
fi
