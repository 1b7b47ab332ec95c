// The program's five tables with their schemas, orderings and links, and the load and save
// steps of start-up and shutdown for the three that live in files.
// Tests: tests/data/tables_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "data/filestamp.h"
#include "data/table.h"

namespace kv::data {

inline constexpr const char* kEngineFile = "SE.cds";
inline constexpr const char* kCacheFile = "SECache.cds";
inline constexpr const char* kHistoryFile = "Word.cds";
// Width of the `word` fields of the history and the cache, in characters.
inline constexpr int kKeywordFieldWidth = 100;

// The schema of the engine definition table (field names in data/enginefields.h).
std::vector<FieldDef> EngineTableFields();

class DataTables {
  public:
    DataTables();
    DataTables(const DataTables&) = delete;
    DataTables& operator=(const DataTables&) = delete;

    // Start-up: "SE.cds" always, then "SECache.cds" and "Word.cds" when they exist. The first
    // failure raises and skips the later steps.
    void LoadFiles(const std::string& folder);
    // The same with the engine definitions read from `engineFile` instead of the folder's.
    void LoadFiles(const std::string& folder, const std::string& engineFile);

    // Shutdown: "Word.cds", then "SECache.cds". A file whose load failed, or was skipped after
    // an earlier failure, is never overwritten: it may hold the user's data.
    void SaveFiles(const std::string& folder);
    // Another program (a command-line run) saved "Word.cds" or "SECache.cds" in `folder` since
    // the last LoadFiles or SaveFiles here: what these tables hold is out of date, and saving
    // them would drop that run's work.
    bool FilesChangedOnDisk(const std::string& folder) const;

    bool CacheMayBeSaved() const { return cacheSavable_; }
    // The path of the file whose load raised in the last LoadFiles; empty when all loaded.
    const std::string& FailedFile() const { return failedFile_; }
    bool HistoryMayBeSaved() const { return historySavable_; }

    Table SE_ClientDataSet;
    Table WordClientDataSet;
    Table SECacheClientDataSet;
    Table KeywordResClientDataSet;
    Table KeywordRes2ClientDataSet;

  private:
    bool cacheSavable_ = true;
    bool historySavable_ = true;
    std::string failedFile_;
    bool stamped_ = false;  // the stamps below were taken
    FileStamp historyStamp_;
    FileStamp cacheStamp_;

    void TakeStamps(const std::string& folder);
};

}  // namespace kv::data
