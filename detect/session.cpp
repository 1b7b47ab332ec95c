// Session: building the run's parts in one order and taking them down in the other.
#include "detect/session.h"

#include <algorithm>
#include <filesystem>

#include "data/tablefields.h"
#include "text/textcompare.h"

namespace kv::detect {

Session::Session(ProgramFolders folders, RunWindow& window)
    : folders_(std::move(folders)), window_(window), aggregator_(tables_, window) {}

Session::Session(const std::string& programFolder, RunWindow& window)
    : Session(PortableFolders(programFolder, std::filesystem::temp_directory_path().string()),
              window) {}

Session::~Session() = default;

void Session::LoadFiles() {
    tables_.LoadFiles(folders_.data, folders_.EngineFile());
}

void Session::SaveFiles() {
    tables_.SaveFiles(folders_.data);
}

void Session::OpenHttp(http::AuthDialog* dialog) {
    run_.reset();
    http_ = std::make_unique<http::HttpUnit>(folders_.settings, folders_.data);
    http_->SetAuthDialog(dialog);
    run_ = std::make_unique<DetectionRun>(tables_, aggregator_, window_, *http_);
    // Every request of the program can be cancelled by Stop.
    http_->SetStopFlag([this] { return run_->StopFlag(); });
}

bool Session::SelectKeyword(const std::string& keyword, bool add) {
    auto& history = tables_.WordClientDataSet;
    const std::string word(history.FitText(history.FieldIndex(data::word_fields::Word), keyword));
    if (history.Locate(data::word_fields::Word, word)) return true;
    if (!add) return false;
    history.Append();
    history.SetString(data::word_fields::Word, word);
    history.Post();
    return history.Locate(data::word_fields::Word, word);
}

bool Session::HasCachedRows(const std::string& keyword, const std::vector<std::string>& engines) {
    if (!SelectKeyword(keyword, false)) return false;
    auto& cache = tables_.SECacheClientDataSet;
    const int engineField = cache.FieldIndex(data::secache_fields::SEName);
    // One pass over the keyword's rows; names match as the theme matches them, ignoring case.
    std::vector<bool> found(engines.size(), false);
    for (int i = 0; i < cache.RecordCount(); ++i) {
        const std::string stored = cache.CellText(i, engineField);
        for (std::size_t e = 0; e < engines.size(); ++e)
            if (!found[e]) found[e] = text::SameIgnoringCase(engines[e], stored);
    }
    return std::find(found.begin(), found.end(), false) == found.end();
}

RunSummary Session::Detect(const RunRequest& request) {
    return run_->Execute(request);
}

void Session::Stop() {
    if (run_) run_->StopActionExecute();
}

const std::vector<RunEntry>& Session::RunList() const {
    static const std::vector<RunEntry> kNone;
    return run_ ? run_->RunList() : kNone;
}

}  // namespace kv::detect
