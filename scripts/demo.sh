#!/usr/bin/env bash
# The main job: the demo search engine on a free local port stands in for the web, and a
# detection run for "red shoes" asks all five engines at depth 30 and prints the theme.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
folder="$build/demo"

rm -rf "$folder"
mkdir -p "$folder"
cp "$bin/demo-engines/SE.cds" "$bin/ua.lst" "$folder/"

source "$(dirname "$0")/demo-engine.sh"
engine=""
trap stop_demo_engine EXIT
start_demo_engine "$bin" "$folder"
printf '[inet]\nConnectType=1\ntimeout=10\n' > "$folder/set.ini"

echo "Demo search engine on 127.0.0.1:$port; program folder $folder"
echo "kelvane-cli detect \"red shoes\" --depth 30 --folder $folder"
echo
"$bin/kelvane-cli" detect "red shoes" --depth 30 --folder "$folder"
