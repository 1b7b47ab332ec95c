// The program's own viewer of the HTML manual, for a desktop that has nothing to open it
// with. Links inside the manual are followed in the viewer.
// Tests: tests/app/mainform_files_test.cpp (the fallback of "Help topics").
#pragma once

#include <QDialog>

class QTextBrowser;

namespace kv::app {

class ManualViewer : public QDialog {
    Q_OBJECT
  public:
    ManualViewer(const QString& manualPath, QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

}  // namespace kv::app
