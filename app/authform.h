// The credential dialog: the site and its caption label, the realm, user name, password and
// the "save" box, with OK and Cancel, plugged into the credential store's prompt.
// Tests: tests/app/dialogs_test.cpp.
#pragma once

#include <QDialog>

#include "http/authstore.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kv::app {

// Longest user name and password taken from the fields.
inline constexpr int kAuthFieldLimit = 254;

class TAuthForm : public QDialog {
    Q_OBJECT
  public:
    // The controls carry the identifiers of the classic dialog as object names
    // ("Control1041", ...) so that scripts and tests find them.
    TAuthForm(http::TAuthDlgData& data, QWidget* parent = nullptr);

  private:
    void OkClick();

    http::TAuthDlgData& data_;
    QLineEdit* userName_;
    QLineEdit* password_;
    QCheckBox* save_;
};

class QtAuthDialog : public http::AuthDialog {
  public:
    explicit QtAuthDialog(QWidget* parent) : parent_(parent) {}
    int Execute(http::TAuthDlgData& data) override;

  private:
    QWidget* parent_;
};

}  // namespace kv::app
