# Sourced by demo.sh and run.sh: starts the demo search engine on a free local port and points
# a program folder's SE.cds at it (the shipped definitions name 127.0.0.1:8765).
# Usage: start_demo_engine BIN_DIR FOLDER; sets $engine (its pid) and $port.
start_demo_engine() {
  local bin=$1 folder=$2
  "$bin/kelvane-demo-engine" --port 0 > "$folder/engine.port" &
  engine=$!
  for _ in $(seq 50); do
    [ -s "$folder/engine.port" ] && break
    sleep 0.1
  done
  port=$(head -n 1 "$folder/engine.port" | tr -dc '0-9')
  if [ -z "$port" ]; then
    echo "the demo search engine did not start" >&2
    return 1
  fi
  sqlite3 "$folder/SE.cds" "UPDATE SE SET
    PrepareSearchURL = replace(PrepareSearchURL, '127.0.0.1:8765', '127.0.0.1:$port'),
    StartSearchURL = replace(StartSearchURL, '127.0.0.1:8765', '127.0.0.1:$port'),
    NextSearchFirstPartUrl = replace(NextSearchFirstPartUrl, '127.0.0.1:8765', '127.0.0.1:$port');"
}

stop_demo_engine() {
  if [ -n "${engine:-}" ]; then
    kill "$engine" 2>/dev/null || true
    wait "$engine" 2>/dev/null || true
  fi
}
