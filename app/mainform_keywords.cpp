// The keyword box and the keyword manager opened by "Edit"; the keyword box follows the
// history when the manager closes, and a keyword typed into it joins the history when a run
// starts.
#include <QComboBox>
#include <QPushButton>

#include "app/apptexts.h"
#include "app/folderwait.h"
#include "app/keywordmanager.h"
#include "app/mainform.h"
#include "data/tablefields.h"
#include "detect/keywordrules.h"

namespace kv::app {

void TMainForm::EditTBXButtonClick() {
    // Held while the history is edited, so the edit and a command-line run do not drop each
    // other's work.
    const auto folderLock = WaitForFolderLock(this, folders_.data);
    if (!folderLock || !ReloadChangedTables()) return;
    TWordEditForm form(tables_.WordClientDataSet, desktop_, this);
    form.exec();
    SyncKeywordBox();
    SaveTables();
}

bool TMainForm::AcceptTypedKeyword() {
    std::string word;
    try {
        word = detect::CheckedKeyword(MainKeywordRxDBLookupCombo->currentText().toStdString());
    } catch (const detect::KeywordError& e) {
        desktop_.ShowInformation(this, texts::kInformation, QString::fromStdString(e.what()));
        return false;
    }
    const QString typed = QString::fromStdString(word);
    if (typed == boxText_) return true;
    data::Table& history = tables_.WordClientDataSet;
    if (!history.Locate(data::word_fields::Word, word)) {
        history.Append();
        history.SetString(data::word_fields::Word, word);
        history.Post();
    }
    boxText_ = typed;
    RefillKeywordBox();
    KeywordChanged();
    return true;
}

void TMainForm::UpdateFindCommand() {
    if (commandIsStop_) return;
    QString refusal;
    try {
        detect::CheckedKeyword(MainKeywordRxDBLookupCombo->currentText().toStdString());
    } catch (const detect::KeywordError& e) {
        refusal = QString::fromStdString(e.what());
    }
    FindTBXButton->setEnabled(refusal.isEmpty());
    FindTBXButton->setToolTip(refusal);
}

}  // namespace kv::app
