// The user-visible texts of kelvane-demo-engine, each exactly once (printf formats).
#pragma once

namespace kv::demo::strings {

inline constexpr const char* kUsage =
    "usage: kelvane-demo-engine [--port N] [--latency MS] [--slow MS] [--site-hosts N]\n"
    "  --port N      port on 127.0.0.1 (default 8765; 0 picks a free one)\n"
    "  --latency MS  delay every answer by MS milliseconds (default 0)\n"
    "  --slow MS     how long the slow result site takes (default 2000)\n"
    "  --site-hosts N  serve the result sites from 127.0.0.2 upwards, N addresses (0-8,\n"
    "                default 8; 0: every site on 127.0.0.1)\n"
    "The port is printed as the first line on stdout. SIGINT or SIGTERM ends the server.\n";
inline constexpr const char* kErrorLine = "kelvane-demo-engine: %s\n";
inline constexpr const char* kSignalFdFailed = "kelvane-demo-engine: signalfd: %s\n";
// The port, then the latency in milliseconds.
inline constexpr const char* kServing =
    "kelvane-demo-engine: serving http://127.0.0.1:%u/ (latency %d ms); stop with Ctrl-C\n";
// The port, then the system's reason.
inline constexpr const char* kCannotListen = "Cannot listen on 127.0.0.1:%u: %s";

}  // namespace kv::demo::strings
