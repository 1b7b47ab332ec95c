// The settings dialog TSettingsForm over the settings dialog model: the connection choice, the
// proxy, time-out, repeats, User-Agent, extra CA file, Accept-Language and authentication
// fields.
// Tests: tests/app/dialogs_test.cpp.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "detect/keywordsources.h"
#include "http/connectionsettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kv::app {

class TSettingsForm : public QDialog {
    Q_OBJECT
  public:
    // Fills the controls from the model (filled by the caller). With sources, the dialog also
    // offers the keyword sources and reads them back into it.
    TSettingsForm(http::SettingsDialogModel& model, QWidget* parent = nullptr,
                  detect::KeywordSources* sources = nullptr);

    // Reads the controls back into the model (the OK button).
    void ReadControls();

  private:
    void ShowModel();
    void ConnectTypeSelected(int type);
    void UseAuthChanged(bool on);
    void AddKeywordSources(QVBoxLayout* outer);
    // "Connect via proxy" without a server would connect directly: OK waits for a server.
    void UpdateOkButton();

    http::SettingsDialogModel& model_;
    QRadioButton* direct_;
    QRadioButton* viaProxy_;
    QRadioButton* system_;
    QLabel* proxyLabel_;
    QLineEdit* proxy_;
    QLabel* portLabel_;
    QLineEdit* port_;
    QLineEdit* timeout_;
    QLineEdit* retry_;
    QLineEdit* parallel_;
    QComboBox* userAgent_;
    QLineEdit* caFile_;
    QLineEdit* acceptLanguage_;
    QCheckBox* useAuth_;
    QLabel* nameLabel_;
    QLineEdit* name_;
    QLabel* passwordLabel_;
    QLineEdit* password_;
    detect::KeywordSources* sources_;
    // In source order: META keywords, news keywords, article tags, structured data.
    std::array<QCheckBox*, detect::kKeywordSourceCount> sourceBoxes_{};
    QPushButton* ok_;
};

// Shows the dialog for the settings in the folder's "set.ini"; on OK stores them there and
// returns true. Nothing is written on Cancel.
bool ExecuteSettingsForm(QWidget* parent, const std::string& folder);
// The same with "set.ini" in `settingsFolder` and the User-Agent list from `userAgentList`.
bool ExecuteSettingsForm(QWidget* parent, const std::string& settingsFolder,
                         const std::string& userAgentList);

}  // namespace kv::app
