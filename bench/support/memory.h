// Peak resident memory of this process, for benchmark counters.
#pragma once

#include <fstream>
#include <string>

namespace kv::bench {

// VmHWM of /proc/self/status in MiB (0 when unavailable).
inline double PeakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// Current resident memory (VmRSS) in MiB.
inline double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

}  // namespace kv::bench
