#!/usr/bin/env bash
# The window on a demo program folder, with the demo search engine on a free local port
# standing in for the web. Without a display it says so and runs the command-line demo.
# Usage: scripts/run.sh BUILD [--screenshot FILE]  (make run)
#   --screenshot FILE: no user needed; a run of "garden furniture" at 1280x800 under Xvfb,
#   saved as FILE (the README's picture).
set -euo pipefail
build=${1:-build}
shift || true
shot=""
if [ "${1:-}" = "--screenshot" ]; then shot=${2:?screenshot file}; fi
bin="$build/bin"
folder="$build/window-demo"

if [ -z "$shot" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display available (DISPLAY and WAYLAND_DISPLAY are not set); running the"
  echo "run: command-line demo instead."
  exec bash "$(dirname "$0")/demo.sh" "$build"
fi

mkdir -p "$folder"
cp "$bin/demo-engines/SE.cds" "$bin/ua.lst" "$bin/distribution.txt" "$folder/"
cp -r "$bin/manual" "$folder/"

source "$(dirname "$0")/demo-engine.sh"
engine=""
xvfb=""
cleanup() {
  stop_demo_engine
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
start_demo_engine "$bin" "$folder"

# A first start gets a few keywords and a direct connection; later starts keep the user's.
if [ ! -f "$folder/Word.cds" ]; then
  sqlite3 "$folder/Word.cds" 'CREATE TABLE "Word" ("word" TEXT);
    INSERT INTO "Word" VALUES ('"'garden furniture'"'), ('"'patio heaters'"'), ('"'red shoes'"');'
fi
if [ ! -f "$folder/set.ini" ]; then
  printf '[TMainForm]\nWord=garden furniture\n\n[inet]\nConnectType=1\ntimeout=10\n' > "$folder/set.ini"
fi

echo "Demo search engine on 127.0.0.1:$port; program folder $folder"
if [ -z "$shot" ]; then
  "$bin/kelvane" --folder "$folder"
  exit 0
fi

# The picture: a wider left pane and address column than designed, so the texts show whole.
printf '[TMainForm]\nWord=garden furniture\nPanel3_Width=250\nTBXRadioButton1_Checked=False\nTBXRadioButton2_Checked=True\n\n[DBGridEh2]\nDBGridEh2.url=1,330,0,1,0,7,0\n\n[inet]\nConnectType=1\ntimeout=10\n' > "$folder/set.ini"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display "$build/tests/kelvane-screenshot" "$folder" "$shot" --run
echo "Saved $shot"
