// Session: one headless object that owns what a detection run needs (the five tables, the
// keyword aggregation, the HTTP unit and the run) and is built the same way by the window, the
// command-line program and the tests. The caller keeps the window it reports to.
//
// Destruction order (members are destroyed in reverse): the run first (it aborts its fetches,
// whose clients use the HTTP unit), then the HTTP unit (it saves the credential store), then
// the aggregation (it watches the tables), then the tables. Nothing is saved on destruction:
// SaveFiles() is the caller's step.
// Tests: tests/detect/session_test.cpp, tests/detect/detectionrun_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "data/tables.h"
#include "detect/detectionrun.h"
#include "detect/keywordaggregation.h"
#include "detect/programfolder.h"
#include "detect/runrequest.h"
#include "detect/runwindow.h"
#include "http/authstore.h"
#include "http/httpunit.h"

namespace kv::detect {

class Session {
  public:
    // Creates the empty tables and the aggregation; reads no file yet.
    Session(ProgramFolders folders, RunWindow& window);
    // On a portable program folder, where every file lies.
    Session(const std::string& programFolder, RunWindow& window);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // SE.cds, SECache.cds and Word.cds from the program folder.
    void LoadFiles();
    // Word.cds and SECache.cds to the program folder (SE.cds is never written).
    void SaveFiles();
    // The HTTP unit (connection settings from set.ini, the credential store) and the run.
    // `dialog` asks for credentials (not owned; null: none is asked for).
    void OpenHttp(http::AuthDialog* dialog);

    // Makes the keyword the keyword history's current row, adding it when `add`; false
    // when it is missing.
    bool SelectKeyword(const std::string& keyword, bool add);
    // True when the result cache holds rows of the keyword for every engine.
    bool HasCachedRows(const std::string& keyword, const std::vector<std::string>& engines);

    // A detection run (needs OpenHttp). Returns when it has ended; the event loop turns
    // meanwhile. Raises what ended it early, after its end steps.
    RunSummary Detect(const RunRequest& request);
    // The Stop command: ends everything in flight at once.
    void Stop();
    bool Running() const { return run_ && run_->Running(); }
    // The process-wide stop flag (true once a run has ended, and before the first).
    bool StopFlag() const { return !run_ || run_->StopFlag(); }
    const std::vector<RunEntry>& RunList() const;

    // The folder of the user's data files.
    const std::string& ProgramFolder() const { return folders_.data; }
    const ProgramFolders& Folders() const { return folders_; }
    data::DataTables& Tables() { return tables_; }
    KeywordAggregator& Aggregator() { return aggregator_; }
    bool HttpOpen() const { return http_ != nullptr; }
    // Needs OpenHttp.
    http::HttpUnit& Http() { return *http_; }
    DetectionRun& Run() { return *run_; }

  private:
    ProgramFolders folders_;
    RunWindow& window_;
    data::DataTables tables_;
    KeywordAggregator aggregator_;
    std::unique_ptr<http::HttpUnit> http_;
    std::unique_ptr<DetectionRun> run_;
};

}  // namespace kv::detect
