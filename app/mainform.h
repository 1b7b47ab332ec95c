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
#include "detect/runwindow.h"

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
    // folder: the program folder. desktop: message boxes, save dialog and shell; the Qt one
    // when null.
    explicit TMainForm(std::string folder, Desktop* desktop = nullptr);
    ~TMainForm() override;

    const std::string& ProgramFolder() const { return folder_; }
    data::DataTables& Tables() { return tables_; }
    QString KeywordBoxText() const { return boxText_; }
    const std::array<QString, 3>& ClipFilePaths() const;
    const std::string& HintText() const { return hintText_; }
    bool RunInProgress() const;
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
    int ScanDepth() const override;
    std::string KeywordText() const override { return boxText_.toStdString(); }
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

    // Menu commands and links.
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

    std::string folder_;
    std::unique_ptr<Desktop> ownDesktop_;
    Desktop& desktop_;
    data::DataTables tables_;
    std::unique_ptr<detect::KeywordAggregator> aggregator_;
    // The page fetch and the detection run (mainform_detect.cpp).
    struct RunParts;
    struct RunPartsDeleter {
        void operator()(RunParts* parts) const;
    };
    std::unique_ptr<RunParts, RunPartsDeleter> runParts_;

    bool ready_ = false;
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
    QWidget* gaugePanel_ = nullptr;
    QProgressBar* gauge_ = nullptr;
};

}  // namespace kv::app
