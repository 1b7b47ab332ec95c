// The main menu, the help and web-link commands and the settings dialog.
#include <QDir>
#include <QMenuBar>

#include "app/aboutform.h"
#include "app/appconfig.h"
#include "app/apptexts.h"
#include "app/enginecheckform.h"
#include "app/mainform.h"
#include "app/settingsform.h"

namespace kv::app {

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(texts::kFileMenu);
    file->setObjectName("FileMenu");
    file->addAction(texts::kGetUpdates, this, &TMainForm::GetUpdatesClick);
    file->addAction(texts::kSettings, this, &TMainForm::SettingsClick);
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

void TMainForm::ImageClick() {
    desktop_.Open(QUrl(config::kHomePage));
}

void TMainForm::GetUpdatesClick() {
    desktop_.Open(QUrl(config::kUpdatePage));
}

void TMainForm::GetSupportClick() {
    desktop_.Open(SupportMailUrl());
}

void TMainForm::HelpTopicsClick() {
    const QString manual = QDir(QString::fromStdString(folder_)).filePath(config::kManualFile);
    desktop_.Open(QUrl::fromLocalFile(manual));
}

void TMainForm::ProgramDistributionClick() {
    desktop_.ShowInformation(this, texts::kProgramDistribution, texts::kDistributionTerms);
}

void TMainForm::AboutClick() {
    TAboutForm about(desktop_, this);
    about.exec();
}

void TMainForm::CheckEnginesClick() {
    EngineCheckForm form(detect::ReadEngineDefinitions(tables_.SE_ClientDataSet), folder_, this);
    form.exec();
}

void TMainForm::SettingsClick() {
    try {
        if (ExecuteSettingsForm(this, folder_)) ReloadConnectionSettings();
    } catch (const std::exception& e) {
        desktop_.ShowError(this, QString::fromStdString(e.what()));
    }
}

}  // namespace kv::app
