// The detection run behind the command button: the window builds the run request from its
// controls and hands it to its session.
#include <QTimer>

#include "app/authform.h"
#include "app/folderwait.h"
#include "app/mainform.h"

namespace kv::app {

void TMainForm::CreateRunParts() {
    authDialog_ = std::make_unique<QtAuthDialog>(this);
    session_->OpenHttp(authDialog_.get());
}

void TMainForm::ReloadConnectionSettings() {
    if (session_->HttpOpen()) session_->Http().ReloadSettings();
}

void TMainForm::FindActionExecute() {
    if (!session_->HttpOpen() || session_->Running()) return;
    const auto folderLock = WaitForFolderLock(this, folders_.data);  // held for the run
    if (!folderLock || !ReloadChangedTables() || !AcceptTypedKeyword()) return;
    try {
        session_->Detect({KeywordText(), TickedEngineNames(), ScanDepth()});
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
    SaveTables();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TMainForm::StopActionExecute() {
    session_->Stop();
}

bool TMainForm::RunInProgress() const {
    return session_->Running();
}

bool TMainForm::StopFlag() const {
    return session_->StopFlag();
}

}  // namespace kv::app
