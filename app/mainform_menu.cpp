// The main menu, the help and web-link commands and the settings dialog.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "app/aboutform.h"
#include "app/appconfig.h"
#include "app/apptexts.h"
#include "app/enginecheckform.h"
#include "app/mainform.h"
#include "app/manualviewer.h"
#include "app/settingsform.h"

namespace kv::app {

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(texts::kFileMenu);
    file->setObjectName("FileMenu");
    file->addAction(texts::kGetUpdates, this, &TMainForm::GetUpdatesClick);
    file->addAction(texts::kSettings, this, &TMainForm::SettingsClick);
    caseOption_ = file->addAction(texts::kCaseOption);
    caseOption_->setObjectName("CaseOptionAction");
    caseOption_->setCheckable(true);
    connect(caseOption_, &QAction::toggled, this, &TMainForm::CaseOptionToggled);
    file->addAction(texts::kCheckEngines, this, &TMainForm::CheckEnginesClick);
    file->addSeparator();
    file->addAction(texts::kExit, this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(texts::kHelpMenu);
    help->setObjectName("HelpMenu");
    help->addAction(texts::kGetSupport, this, &TMainForm::GetSupportClick);
    help->addAction(texts::kHelpTopics, this, &TMainForm::HelpTopicsClick);
    help->addAction(texts::kProgramDistribution, this, &TMainForm::ProgramDistributionClick);
    help->addAction(texts::kAbout, this, &TMainForm::AboutClick);
}

void TMainForm::CaseOptionToggled(bool on) {
    session_->Aggregator().SetCaseVariantsAsOne(on);
    session_->Aggregator().RefreshKeywordTables();
}

void TMainForm::OpenWebPage(const char* address) {
    if (!desktop_.Open(QUrl(address)))
        statusText_->setText(QString(texts::kNoWebBrowser).arg(address));
}

void TMainForm::ImageClick() {
    OpenWebPage(config::kHomePage);
}

void TMainForm::GetUpdatesClick() {
    OpenWebPage(config::kUpdatePage);
}

void TMainForm::GetSupportClick() {
    if (!desktop_.Open(SupportMailUrl()))
        statusText_->setText(QString(texts::kNoMailProgram).arg(config::kSupportMail));
}

void TMainForm::HelpTopicsClick() {
    const QString manual = QString::fromStdString(folders_.ShippedFile(config::kManualFile));
    if (desktop_.Open(QUrl::fromLocalFile(manual))) return;
    // Without a desktop that opens HTML files the manual is still one click away.
    auto* viewer = new ManualViewer(manual, this);
    viewer->show();
}

void TMainForm::ProgramDistributionClick() {
    desktop_.ShowInformation(this, texts::kProgramDistribution, texts::kDistributionTerms);
}

void TMainForm::AboutClick() {
    TAboutForm about(desktop_, this);
    about.exec();
}

detect::KeywordSources TMainForm::ChosenKeywordSources() const {
    // Read per page, so a choice made in the settings dialog during a run applies at once.
    return detect::ReadKeywordSourcesSetting(folders_.settings);
}

void TMainForm::CheckEnginesClick() {
    EngineCheckForm form(detect::ReadEngineDefinitions(tables_.SE_ClientDataSet), folders_.settings,
                         folders_.data, this);
    form.exec();
}

void TMainForm::SettingsClick() {
    try {
        if (ExecuteSettingsForm(this, folders_.settings,
                                folders_.ShippedFile(config::kUserAgentList)))
            ReloadConnectionSettings();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
}

}  // namespace kv::app
