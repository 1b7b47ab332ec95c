// The main window TMainForm: creation and shutdown (mainform.cpp), layout (mainform_layout.cpp),
// what a detection run drives (mainform_run.cpp), the per-page hint (mainform_hint.cpp), menus
// and web links (mainform_menu.cpp), the save commands (mainform_export.cpp).
// Tests: tests/app/.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "app/desktop.h"
#include "data/inifile.h"
#include "data/tables.h"
#include "detect/keywordaggregation.h"
#include "detect/programfolder.h"
#include "detect/runwindow.h"
#include "detect/session.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTextEdit;
class QFrame;

namespace kv::app {

class ClipFiles;
class ClipSequence;
class EngineBoxes;
class ResultGrid;
class TableModel;

class TMainForm : public QMainWindow, public detect::RunWindow, private data::TableObserver {
    Q_OBJECT
  public:
    // folders: where the files live. desktop: message boxes, save dialog and shell; the Qt one
    // when null.
    explicit TMainForm(detect::ProgramFolders folders, Desktop* desktop = nullptr);
    // On a portable program folder.
    explicit TMainForm(const std::string& folder, Desktop* desktop = nullptr);
    ~TMainForm() override;

    // The folder of the user's data files.
    const std::string& ProgramFolder() const { return folders_.data; }
    data::DataTables& Tables() { return tables_; }
    QString KeywordBoxText() const { return boxText_; }
    const std::array<QString, 3>& ClipFilePaths() const;
    const std::string& HintText() const { return hintText_; }
    bool RunInProgress() const;
    // The user chose to quit in a start-up dialog (a read-only folder or a damaged file).
    bool QuitRequested() const { return quitRequested_; }
    bool ReadOnly() const { return readOnly_; }
    // Shows the window in front of the others (a second start of the program asks for it).
    void BringToFront();
    // The process-wide stop flag of the detection run (true once a run has ended).
    bool StopFlag() const;

    // Commands and handlers.
    void FindActionExecute();
    void StopActionExecute();
    void Export1ActionExecute();
    void Export2ActionExecute();
    void EditTBXButtonClick();
    void DBGridEh2MouseMove(const QPoint& viewportPos, const QPoint& globalPos);
    void FormResize();
    void dfsStatusBarResize();

    // ThemeWindow and RunWindow.
    bool ReadyFlag() const override { return ready_; }
    std::vector<std::string> TickedEngineNames() const override;
    void SetCountFooter(const std::string& text) override;
    void LogError(const std::string& message) override;
    void SetWaitCursor(bool on) override;
    // 10, 20 or 30, from the three radio buttons (the largest checked one).
    int ScanDepth() const;
    std::string KeywordText() const { return boxText_.toStdString(); }
    void ShowNoEngineMessage() override;
    void StartClips() override;
    void PutPictureBack() override;
    bool PictureIsBack() override;
    void ClearErrorLog() override;
    void SetRunControlsEnabled(bool enabled) override;
    void BindCommandToStop(bool stop) override;
    void SetStatusText(const std::string& text) override;
    void SetGaugeEnabled(bool enabled) override;
    void SetGaugeIndeterminate() override;
    void SetGaugePosition(int percent) override;
    void ProcessEvents() override;
    detect::KeywordSources ChosenKeywordSources() const override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Creation steps.
    void BuildLayout();
    void BuildInputStrip(QWidget* panel);
    void BuildResultArea(QWidget* panel);
    void BuildStatusBar();
    void BuildMenus();
    void OpenClips();
    void CreateRunParts();
    void ReloadConnectionSettings();
    void RestoreWindowValues(const data::IniFile& ini);
    void LocateRememberedWord();
    // The program folder's files (mainform_files.cpp). false: the user chose to quit.
    bool CheckProgramFolder();
    bool LoadTables();
    bool MaySave() const;
    // Saves history and cache now, so a kill or a crash loses nothing done so far.
    void SaveTables();
    // Under the folder lock, before the window changes its tables: a command-line run may have
    // saved the folder's files since the window read them, so they are read again. False when
    // that failed or the user chose to quit.
    bool ReloadChangedTables();
    // At shutdown: the tables are saved only when no other run holds the folder or saved it
    // since; every change of the window was saved when it was made.
    void SaveTablesAtShutdown();
    void BuildEngineBoxes(const data::IniFile& ini);

    // Shutdown steps.
    void StoreWindowValues();
    void Shutdown();

    // The keyword box over the keyword history.
    void TableDataChanged(data::Table& table) override;
    void RefillKeywordBox();
    void SyncKeywordBox();
    void KeywordBoxActivated(int index);
    void KeywordChanged();
    void TBXCheckBox1Change();
    // The typed keyword (mainform_keywords.cpp): checked, added to the history and selected
    // when a run starts; false when it is refused.
    bool AcceptTypedKeyword();
    // The command is disabled, with the reason as its hint, while the typed text is refused.
    void UpdateFindCommand();
    void CaseOptionToggled(bool on);

    // Menu commands and links.
    // The page in the browser; when none opens it, the status bar names the address.
    void OpenWebPage(const char* address);
    void ImageClick();
    void GetUpdatesClick();
    void SettingsClick();
    void CheckEnginesClick();
    void GetSupportClick();
    void HelpTopicsClick();
    void ProgramDistributionClick();
    void AboutClick();

    void ExportGrid(ResultGrid* grid, const QString& proposedName);
    std::string SettingsPath() const;

    detect::ProgramFolders folders_;
    std::unique_ptr<Desktop> ownDesktop_;
    Desktop& desktop_;
    // The credential prompt outlives the session, whose HTTP unit asks it.
    std::unique_ptr<http::AuthDialog> authDialog_;
    // The tables, the HTTP unit and the run (mainform_detect.cpp).
    std::unique_ptr<detect::Session> session_;
    data::DataTables& tables_;  // the session's

    bool ready_ = false;
    bool readOnly_ = false;
    bool quitRequested_ = false;
    QString lastExportFolder_;
    bool shutDown_ = false;
    bool closeAfterRun_ = false;
    bool commandIsStop_ = false;
    int waitCursorDepth_ = 0;
    QString boxText_;
    std::string rememberedWord_;
    std::pair<int, int> lastHintCell_{0, 0};
    std::string hintText_;
    int exportFilterIndex_;

    std::unique_ptr<ClipFiles> clipFiles_;
    ClipSequence* clips_ = nullptr;

    // Components by their designed names.
    QFrame* Panel8 = nullptr;
    QLabel* Image = nullptr;
    QWidget* PlayPanel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* clipScreen_ = nullptr;
    QComboBox* MainKeywordRxDBLookupCombo = nullptr;
    QPushButton* EditTBXButton = nullptr;
    QPushButton* FindTBXButton = nullptr;
    // One per engine definition row, built once SE.cds is loaded.
    EngineBoxes* engineBoxes_ = nullptr;
    std::array<QRadioButton*, 3> depthButtons_{};
    QWidget* Panel3 = nullptr;
    QSplitter* SanSplitter = nullptr;
    QSplitter* SanSplitter1 = nullptr;
    TableModel* frequencyModel_ = nullptr;
    TableModel* pagesModel_ = nullptr;
    ResultGrid* DBGridEh1 = nullptr;
    ResultGrid* DBGridEh2 = nullptr;
    QPushButton* TBXButton1 = nullptr;
    QPushButton* TBXButton2 = nullptr;
    QTextEdit* LogRichEdit = nullptr;
    QLabel* statusText_ = nullptr;
    QAction* caseOption_ = nullptr;
    QWidget* gaugePanel_ = nullptr;
    QProgressBar* gauge_ = nullptr;
};

}  // namespace kv::app
