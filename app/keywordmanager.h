// The keyword manager TWordEditForm over the keyword history, and the one-field dialog
// TNewWordForm that asks for a new keyword.
// Tests: tests/app/keywordmanager_test.cpp.
#pragma once

#include <QDialog>

#include "app/desktop.h"
#include "data/table.h"

class QLabel;
class QLineEdit;

namespace kv::app {

class ResultGrid;

class TNewWordForm : public QDialog {
    Q_OBJECT
  public:
    TNewWordForm(const QString& caption, const QString& label, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* WordEdit() const { return wordEdit_; }

  private:
    QLineEdit* wordEdit_;
};

class TWordEditForm : public QDialog {
    Q_OBJECT
  public:
    TWordEditForm(data::Table& history, Desktop& desktop, QWidget* parent = nullptr);

    void AddTBXButtonClick();
    void DeleteTBXButtonClick();

  private:
    data::Table& history_;
    Desktop& desktop_;
    ResultGrid* grid_;
};

}  // namespace kv::app
