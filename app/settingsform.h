// The settings dialog TSettingsForm over the settings dialog model: the connection choice, the
// proxy, time-out, repeats, User-Agent, extra CA file, Accept-Language and authentication
// fields.
// Tests: tests/app/dialogs_test.cpp.
#pragma once

#include <QDialog>
#include <string>

#include "http/connectionsettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kv::app {

class TSettingsForm : public QDialog {
    Q_OBJECT
  public:
    // Fills the controls from the model (filled by the caller).
    TSettingsForm(http::SettingsDialogModel& model, QWidget* parent = nullptr);

    // Reads the controls back into the model (the OK button).
    void ReadControls();

  private:
    void ShowModel();
    void ConnectTypeSelected(int type);
    void UseAuthChanged(bool on);

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
    QComboBox* userAgent_;
    QLineEdit* caFile_;
    QLineEdit* acceptLanguage_;
    QCheckBox* useAuth_;
    QLabel* nameLabel_;
    QLineEdit* name_;
    QLabel* passwordLabel_;
    QLineEdit* password_;
};

// Shows the dialog for the settings in the folder's "set.ini"; on OK stores them there and
// returns true. Nothing is written on Cancel.
bool ExecuteSettingsForm(QWidget* parent, const std::string& folder);

}  // namespace kv::app
