// What a detection run is asked for, what it reports while it goes, and how it ended.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kv::detect {

struct RunRequest {
    std::string keyword;
    std::vector<std::string> engines;  // captions, in the fixed order of the engine boxes
    int depth = 10;                    // 10, 20 or 30
};

struct RunProgress {
    int pagesDone = 0;    // run-list entries finished (stored, empty or failed)
    int pagesTotal = 0;   // run-list entries known so far
    int pagesFailed = 0;  // distinct addresses that failed
    std::string engine;   // the engine whose result page was asked for last, "" once all answered
    std::chrono::milliseconds elapsed{0};
};

struct RunSummary {
    int themeSize = 0;    // keywords in the theme after the run
    int pagesStored = 0;  // result cache rows appended
    int pagesFailed = 0;  // distinct addresses that failed (each logged once)
    std::vector<std::string> enginesWithoutResults;
    bool stopped = false;
};

// The one-line summary that ends every run (status bar, stderr).
std::string SummaryLine(const RunSummary& summary);

}  // namespace kv::detect
