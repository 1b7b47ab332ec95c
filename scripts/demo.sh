#!/usr/bin/env bash
# The main job: the demo search engine on a free local port stands in for the web, and a
# detection run for "red shoes" asks all five engines at depth 30 and prints the theme.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
folder="$build/demo"

rm -rf "$folder"
mkdir -p "$folder"
cp "$bin/SE.cds" "$bin/ua.lst" "$folder/"

"$bin/kelvane-demo-engine" --port 0 > "$folder/engine.port" &
engine=$!
trap 'kill "$engine" 2>/dev/null || true; wait "$engine" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -s "$folder/engine.port" ] && break
  sleep 0.1
done
port=$(head -n 1 "$folder/engine.port" | tr -dc '0-9')
[ -n "$port" ] || { echo "demo: the demo search engine did not start" >&2; exit 1; }

# The shipped definitions name port 8765; point this folder's copy at the engine's port.
sqlite3 "$folder/SE.cds" "UPDATE SE SET
  PrepareSearchURL = replace(PrepareSearchURL, '127.0.0.1:8765', '127.0.0.1:$port'),
  StartSearchURL = replace(StartSearchURL, '127.0.0.1:8765', '127.0.0.1:$port'),
  NextSearchFirstPartUrl = replace(NextSearchFirstPartUrl, '127.0.0.1:8765', '127.0.0.1:$port');"
printf '[inet]\nConnectType=1\ntimeout=10\n' > "$folder/set.ini"

echo "Demo search engine on 127.0.0.1:$port; program folder $folder"
echo "kelvane-cli detect \"red shoes\" --depth 30 --folder $folder"
echo
"$bin/kelvane-cli" detect "red shoes" --depth 30 --folder "$folder"
