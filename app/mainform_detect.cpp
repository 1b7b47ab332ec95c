// The detection run and the page fetch behind the command button.
#include <QTimer>

#include "app/authform.h"
#include "app/folderwait.h"
#include "app/mainform.h"
#include "detect/detectionrun.h"
#include "http/httpunit.h"

namespace kv::app {

// The process-wide page-fetch state and the run, created at start-up and freed at exit.
struct TMainForm::RunParts {
    explicit RunParts(TMainForm& window)
        : authDialog(&window),
          http(window.folder_),
          run(window.tables_, *window.aggregator_, window, http) {
        http.SetAuthDialog(&authDialog);
        // Every request of the program can be cancelled by Stop.
        http.SetStopFlag([this] { return run.StopFlag(); });
    }

    QtAuthDialog authDialog;
    http::HttpUnit http;
    detect::DetectionRun run;
};

void TMainForm::RunPartsDeleter::operator()(RunParts* parts) const {
    delete parts;
}

void TMainForm::CreateRunParts() {
    runParts_.reset(new RunParts(*this));
}

void TMainForm::ReloadConnectionSettings() {
    if (runParts_) runParts_->http.ReloadSettings();
}

void TMainForm::FindActionExecute() {
    if (!runParts_ || runParts_->run.Running()) return;
    const auto folderLock = WaitForFolderLock(this, folder_);  // held for the run
    if (!folderLock) return;
    try {
        runParts_->run.FindActionExecute();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TMainForm::StopActionExecute() {
    if (runParts_) runParts_->run.StopActionExecute();
}

bool TMainForm::RunInProgress() const {
    return runParts_ && runParts_->run.Running();
}

bool TMainForm::StopFlag() const {
    return !runParts_ || runParts_->run.StopFlag();
}

}  // namespace kv::app
