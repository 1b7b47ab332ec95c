// The "Check engines" dialog: one row per engine definition; "Check" asks each engine once and
// shows its verdict (works, blocked, no results, definition out of date, unreachable), with
// what it found as the row's tooltip.
// Tests: tests/app/engineboxes_test.cpp.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "detect/enginedefinition.h"

class QPushButton;
class QTableWidget;

namespace kv::http {
class HttpUnit;
}

namespace kv::app {

class EngineCheckForm : public QDialog {
    Q_OBJECT
  public:
    // The checks use the connection settings of `settingsFolder` and the credential store of
    // `dataFolder`, as runs do.
    EngineCheckForm(std::vector<detect::EngineDefinition> engines, std::string settingsFolder,
                    std::string dataFolder, QWidget* parent = nullptr);
    ~EngineCheckForm() override;

    // Checks every engine in turn; the window stays live and Stop (or closing) ends it.
    void CheckAll();
    QTableWidget* Grid() const { return grid_; }

  protected:
    void reject() override;

  private:
    std::vector<detect::EngineDefinition> engines_;
    std::string settingsFolder_;
    std::string dataFolder_;
    std::unique_ptr<http::HttpUnit> http_;
    QTableWidget* grid_;
    QPushButton* checkButton_;
    bool running_ = false;
    bool stop_ = false;
};

}  // namespace kv::app
