// The about box TAboutForm and the web addresses it and the menu lead to.
// Tests: tests/app/dialogs_test.cpp.
#pragma once

#include <QDialog>
#include <QUrl>

#include "app/desktop.h"

class QLabel;

namespace kv::app {

// "mailto:" + the support address + "?subject=" + the subject, the subject not encoded.
QUrl SupportMailUrl();
// The build's version as "%d.%d.%d.%d"; "0.0.0.0" when it has none.
QString VersionText(const char* version);
// The revision text: the "revision_name" value of the program's own settings key, empty
// when missing; nullopt when the key cannot be opened.
std::optional<QString> RevisionText();

class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    TAboutForm(Desktop& desktop, QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Desktop& desktop_;
    QLabel* picture_ = nullptr;
};

}  // namespace kv::app
