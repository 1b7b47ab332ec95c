// Creation and shutdown of the main window, the stored window values and the keyword box.
#include "app/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QSplitter>

#include "app/appconfig.h"
#include "app/apptexts.h"
#include "app/clipfiles.h"
#include "app/clipsequence.h"
#include "app/engineboxes.h"
#include "app/gridlayouts.h"
#include "app/resultgrid.h"
#include "data/exportgrid.h"
#include "data/inifile.h"
#include "data/tablefields.h"
#include "detect/enginedefinition.h"

namespace kv::app {

namespace {

constexpr const char* kWindowSection = "TMainForm";
constexpr const char* kWordKey = "Word";
constexpr const char* kPanel3WidthKey = "Panel3_Width";
constexpr const char* kCaseOptionKey = "CaseVariantsAsOne_Checked";
constexpr int kDesignedWidth = 750;
constexpr int kDesignedHeight = 550;
constexpr int kDesignedLeftPane = 185;

std::string CheckedKey(const QWidget* control) {
    return control->objectName().toStdString() + "_Checked";
}

}  // namespace

TMainForm::TMainForm(const std::string& folder, Desktop* desktop)
    : TMainForm(detect::PortableFolders(folder, QDir::tempPath().toStdString()), desktop) {}

TMainForm::TMainForm(detect::ProgramFolders folders, Desktop* desktop)
    : folders_(std::move(folders)),
      ownDesktop_(desktop ? nullptr : std::make_unique<QtDesktop>()),
      desktop_(desktop ? *desktop : *ownDesktop_),
      session_(std::make_unique<detect::Session>(folders_, *this)),
      tables_(session_->Tables()),
      exportFilterIndex_(data::kExportFirstFilterIndex - 1) {
    setObjectName("MainForm");
    setWindowTitle(texts::kTitle);
    setMinimumSize(kDesignedWidth, kDesignedHeight);
    resize(kDesignedWidth, kDesignedHeight);
    setWindowState(Qt::WindowMaximized);
    BuildLayout();
    OpenClips();
    tables_.WordClientDataSet.AddObserver(this);
    try {
        const data::IniFile ini(SettingsPath());
        RestoreGridLayout(ini, "DBGridEh1", *DBGridEh1);
        RestoreGridLayout(ini, "DBGridEh2", *DBGridEh2);
        RestoreWindowValues(ini);
        if (!CheckProgramFolder() || !LoadTables()) return;
        BuildEngineBoxes(ini);
        LocateRememberedWord();
        SyncKeywordBox();
        CreateRunParts();
        ready_ = true;
        session_->Aggregator().RefreshKeywordTables();
        FormResize();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
}

TMainForm::~TMainForm() {
    if (!shutDown_) Shutdown();
    tables_.WordClientDataSet.RemoveObserver(this);
    // Qt frees child objects after the members; the models watch the tables and the clips
    // show on the widgets, so they go first, while the tables still exist.
    delete clips_;
    delete takeCentralWidget();
    delete frequencyModel_;
    delete pagesModel_;
}

const std::array<QString, 3>& TMainForm::ClipFilePaths() const {
    return clipFiles_->Paths();
}

std::string TMainForm::SettingsPath() const {
    return folders_.SettingsFile();
}

void TMainForm::OpenClips() {
    clipFiles_ = std::make_unique<ClipFiles>();
    clips_ = new ClipSequence(
        clipScreen_, Image1, clipFiles_->Paths(), [this] { return StopFlag(); }, this);
}

void TMainForm::RestoreWindowValues(const data::IniFile& ini) {
    for (QRadioButton* button : depthButtons_)
        button->setChecked(
            ini.ReadBool(kWindowSection, CheckedKey(button), button == depthButtons_[0]));
    const int width = ini.ReadInteger(kWindowSection, kPanel3WidthKey, kDesignedLeftPane);
    const QList<int> sizes = SanSplitter1->sizes();
    SanSplitter1->setSizes({width, std::max(sizes.value(1), 1)});
    rememberedWord_ = ini.ReadString(kWindowSection, kWordKey, "");
    caseOption_->setChecked(ini.ReadBool(kWindowSection, kCaseOptionKey, false));
}

void TMainForm::BuildEngineBoxes(const data::IniFile& ini) {
    std::vector<EngineBoxSpec> engines;
    for (const auto& engine : detect::ReadEngineDefinitions(tables_.SE_ClientDataSet))
        engines.push_back({engine.name, !engine.startUrl.empty()});
    engineBoxes_->Build(engines);
    engineBoxes_->RestoreTicks(ini);
}

void TMainForm::LocateRememberedWord() {
    data::Table& history = tables_.WordClientDataSet;
    if (!history.Locate(data::word_fields::Word, rememberedWord_)) history.First();
}

void TMainForm::StoreWindowValues() {
    data::IniFile ini(SettingsPath());
    engineBoxes_->StoreTicks(ini);
    for (QRadioButton* button : depthButtons_)
        ini.WriteBool(kWindowSection, CheckedKey(button), button->isChecked());
    ini.WriteInteger(kWindowSection, kPanel3WidthKey, Panel3->width());
    ini.WriteString(kWindowSection, kWordKey, rememberedWord_);
    ini.WriteBool(kWindowSection, kCaseOptionKey, caseOption_->isChecked());
    ini.Save();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (RunInProgress()) {
        // The run ends first, through Stop; the window closes when it has.
        closeAfterRun_ = true;
        StopActionExecute();
        event->ignore();
        return;
    }
    try {
        if (MaySave()) StoreWindowValues();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
    Shutdown();
    event->accept();
}

void TMainForm::Shutdown() {
    shutDown_ = true;
    try {
        if (MaySave()) {
            data::IniFile ini(SettingsPath());
            StoreGridLayout(ini, "DBGridEh1", *DBGridEh1);
            StoreGridLayout(ini, "DBGridEh2", *DBGridEh2);
            ini.Save();
        }
        clips_->Close();
        clipFiles_->Remove();
        SaveTablesAtShutdown();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
}

void TMainForm::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TMainForm::TableDataChanged(data::Table&) {
    RefillKeywordBox();
}

void TMainForm::RefillKeywordBox() {
    data::Table& history = tables_.WordClientDataSet;
    const QSignalBlocker blocker(MainKeywordRxDBLookupCombo);
    MainKeywordRxDBLookupCombo->clear();
    const int field = history.FieldIndex(data::word_fields::Word);
    for (int row = 0; row < history.RecordCount(); ++row)
        MainKeywordRxDBLookupCombo->addItem(QString::fromStdString(history.CellText(row, field)));
    MainKeywordRxDBLookupCombo->setCurrentIndex(
        MainKeywordRxDBLookupCombo->findText(boxText_, Qt::MatchExactly | Qt::MatchCaseSensitive));
    MainKeywordRxDBLookupCombo->setEditText(boxText_);
    UpdateFindCommand();
}

void TMainForm::SyncKeywordBox() {
    data::Table& history = tables_.WordClientDataSet;
    history.CheckBrowseMode();
    if (history.IsEmpty()) {
        boxText_.clear();
        RefillKeywordBox();
        KeywordChanged();
        return;
    }
    const QString word = QString::fromStdString(history.AsString(data::word_fields::Word));
    const bool changed = word != boxText_;
    boxText_ = word;
    RefillKeywordBox();
    if (changed) KeywordChanged();
}

void TMainForm::KeywordBoxActivated(int index) {
    data::Table& history = tables_.WordClientDataSet;
    if (index < 0 || index >= history.RecordCount()) return;
    history.MoveTo(index);
    const QString word = MainKeywordRxDBLookupCombo->itemText(index);
    if (word == boxText_) return;
    boxText_ = word;
    KeywordChanged();
}

void TMainForm::KeywordChanged() {
    session_->Aggregator().RefreshKeywordTables();
    rememberedWord_ = boxText_.toStdString();
}

void TMainForm::TBXCheckBox1Change() {
    session_->Aggregator().RefreshKeywordTables();
}

std::vector<std::string> TMainForm::TickedEngineNames() const {
    return engineBoxes_->TickedNames();
}

int TMainForm::ScanDepth() const {
    int depth = 10;
    if (depthButtons_[1]->isChecked()) depth = 20;
    if (depthButtons_[2]->isChecked()) depth = 30;
    return depth;
}

void TMainForm::SetCountFooter(const std::string& text) {
    DBGridEh1->SetFooterText(1, QString::fromStdString(text));
}

void TMainForm::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitCursorDepth_;
    } else if (waitCursorDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursorDepth_;
    }
}

}  // namespace kv::app
