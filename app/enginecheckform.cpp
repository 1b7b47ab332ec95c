#include "app/enginecheckform.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/apptexts.h"
#include "detect/enginecheck.h"
#include "http/httpunit.h"

namespace kv::app {

namespace {

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

EngineCheckForm::EngineCheckForm(std::vector<detect::EngineDefinition> engines,
                                 std::string settingsFolder, std::string dataFolder,
                                 QWidget* parent)
    : QDialog(parent),
      engines_(std::move(engines)),
      settingsFolder_(std::move(settingsFolder)),
      dataFolder_(std::move(dataFolder)) {
    setObjectName("EngineCheckForm");
    setWindowTitle(texts::kCheckEngines);
    resize(720, 320);
    grid_ = new QTableWidget(static_cast<int>(engines_.size()), 2, this);
    grid_->setObjectName("EngineCheckGrid");
    grid_->setHorizontalHeaderLabels({texts::kEngineColumn, texts::kVerdictColumn});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();
    for (std::size_t i = 0; i < engines_.size(); ++i) {
        grid_->setItem(static_cast<int>(i), 0, Cell(engines_[i].name));
        grid_->setItem(static_cast<int>(i), 1, Cell(""));
    }
    grid_->resizeColumnToContents(0);
    checkButton_ = new QPushButton(texts::kCheck, this);
    checkButton_->setObjectName("CheckButton");
    connect(checkButton_, &QPushButton::clicked, this, [this] {
        if (running_)
            stop_ = true;
        else
            CheckAll();
    });
    auto* close = new QPushButton(texts::kClose, this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(checkButton_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
}

EngineCheckForm::~EngineCheckForm() = default;

void EngineCheckForm::CheckAll() {
    if (running_) return;
    running_ = true;
    stop_ = false;
    checkButton_->setText(texts::kStop);
    if (!http_) {
        http_ = std::make_unique<http::HttpUnit>(settingsFolder_, dataFolder_);
        http_->SetStopFlag([this] { return stop_; });
    } else {
        http_->ReloadSettings();
    }
    for (std::size_t i = 0; i < engines_.size() && !stop_; ++i) {
        const int row = static_cast<int>(i);
        grid_->item(row, 1)->setText(texts::kChecking);
        const detect::EngineCheck check =
            detect::CheckEngine(*http_, engines_[i], detect::kDefaultCheckKeyword);
        if (stop_) break;
        // The line without the name, which the first column shows.
        const std::string line = check.Line();
        grid_->item(row, 1)->setText(
            QString::fromStdString(line.substr(engines_[i].name.size() + 2)));
        grid_->item(row, 1)->setToolTip(
            QString::fromStdString(detect::ShowFindings(check.reading)));
    }
    checkButton_->setText(texts::kCheck);
    running_ = false;
}

void EngineCheckForm::reject() {
    // A check in progress ends first; its request is cancelled through the stop flag.
    stop_ = true;
    if (!running_) QDialog::reject();
}

}  // namespace kv::app
