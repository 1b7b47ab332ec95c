// The program folder's files at start-up and after work: a folder that takes no files, a
// damaged history or cache, and the saves after every run and keyword-manager change.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>

#include "app/apptexts.h"
#include "app/mainform.h"
#include "data/folderaccess.h"
#include "data/folderlock.h"

namespace kv::app {

namespace {

bool MaySetAside(const std::string& failedFile) {
    const QString name = QFileInfo(QString::fromStdString(failedFile)).fileName();
    return (name == data::kHistoryFile || name == data::kCacheFile) &&
           QFileInfo::exists(QString::fromStdString(failedFile));
}

}  // namespace

bool TMainForm::CheckProgramFolder() {
    if (data::FolderIsWritable(folders_.data)) return true;
    const QString folder = QString::fromStdString(folders_.data);
    const int choice = desktop_.Choose(this, texts::kFolderNotWritableTitle,
                                       QString(texts::kFolderNotWritable).arg(folder),
                                       {texts::kContinueReadOnly, texts::kQuit});
    if (choice != 0) {
        quitRequested_ = true;
        return false;
    }
    readOnly_ = true;
    statusText_->setText(QString(texts::kReadOnlyStatus).arg(folder));
    return true;
}

bool TMainForm::LoadTables() {
    for (;;) {
        try {
            tables_.LoadFiles(folders_.data, folders_.EngineFile());
            return true;
        } catch (const std::exception& e) {
            const std::string failed = tables_.FailedFile();
            if (!MaySetAside(failed)) throw;
            const QString file = QString::fromStdString(failed);
            const int choice = desktop_.Choose(
                this, texts::kDamagedFileTitle,
                QString(texts::kDamagedFile).arg(file, QString::fromStdString(e.what())),
                {texts::kSetAside, texts::kQuit});
            if (choice != 0) {
                quitRequested_ = true;
                return false;
            }
            const std::string kept = data::SetDamagedFileAside(failed);
            statusText_->setText(
                QString(texts::kDamagedFileKept).arg(QString::fromStdString(kept)));
        }
    }
}

bool TMainForm::MaySave() const {
    return !readOnly_ && !quitRequested_;
}

bool TMainForm::ReloadChangedTables() {
    if (!tables_.FilesChangedOnDisk(folders_.data)) return true;
    const QString typed = MainKeywordRxDBLookupCombo->currentText();
    try {
        if (!LoadTables()) {
            close();
            return false;
        }
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
        return false;
    }
    // The keyword shown stays selected; the theme is rebuilt once, by the sync when the
    // keyword changed, else here, since the cache did.
    const QString shown = boxText_;
    LocateRememberedWord();
    SyncKeywordBox();
    if (boxText_ == shown) session_->Aggregator().RefreshKeywordTables();
    MainKeywordRxDBLookupCombo->setEditText(typed);  // what the user typed is kept
    statusText_->setText(texts::kTablesReloaded);
    return true;
}

void TMainForm::SaveTablesAtShutdown() {
    if (!MaySave()) return;
    const data::FolderLock lock(folders_.data);
    if (!lock.Busy() && !tables_.FilesChangedOnDisk(folders_.data)) session_->SaveFiles();
}

void TMainForm::SaveTables() {
    if (!MaySave()) return;
    try {
        tables_.SaveFiles(folders_.data);
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
}

}  // namespace kv::app
