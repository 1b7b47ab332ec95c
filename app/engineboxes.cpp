#include "app/engineboxes.h"

#include <QCheckBox>
#include <QGridLayout>

namespace kv::app {

namespace {

constexpr const char* kWindowSection = "TMainForm";
constexpr const char* kEngineSection = "Engines";
constexpr int kDesignedBoxes = 5;

std::string DesignedKey(int row) {
    return EngineBoxes::BoxName(row).toStdString() + "_Checked";
}

}  // namespace

EngineBoxes::EngineBoxes(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(12);
    grid_->setVerticalSpacing(4);
}

QString EngineBoxes::BoxName(int row) {
    // The designed window lists "AltaVista" (TBXCheckBox2) before "All The Web" (TBXCheckBox1).
    static constexpr int kDesignedNumbers[kDesignedBoxes] = {2, 1, 3, 4, 5};
    const int number = row < kDesignedBoxes ? kDesignedNumbers[row] : row + 1;
    return QString(row < kDesignedBoxes ? "TBXCheckBox%1" : "EngineCheckBox%1").arg(number);
}

void EngineBoxes::Build(const std::vector<EngineBoxSpec>& engines) {
    for (QCheckBox* box : boxes_) delete box;
    boxes_.clear();
    engines_ = engines;
    for (std::size_t i = 0; i < engines.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* box = new QCheckBox(QString::fromStdString(engines[i].name), this);
        box->setObjectName(BoxName(row));
        box->setChecked(engines[i].hasAddress);
        connect(box, &QCheckBox::toggled, this, &EngineBoxes::TicksChanged);
        grid_->addWidget(box, row / kBoxesPerLine, row % kBoxesPerLine);
        boxes_.push_back(box);
    }
    grid_->setColumnStretch(kBoxesPerLine, 1);
}

std::vector<std::string> EngineBoxes::TickedNames() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked()) names.push_back(engines_[i].name);
    return names;
}

void EngineBoxes::FocusFirst() {
    if (boxes_.size() > 1)
        boxes_[1]->setFocus();
    else if (!boxes_.empty())
        boxes_[0]->setFocus();
}

void EngineBoxes::RestoreTicks(const data::IniFile& ini) {
    const QSignalBlocker blocker(this);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const int row = static_cast<int>(i);
        bool ticked = engines_[i].hasAddress;
        if (row < kDesignedBoxes) ticked = ini.ReadBool(kWindowSection, DesignedKey(row), ticked);
        // The engine's own key wins: rows may have moved since the designed keys were written.
        ticked = ini.ReadBool(kEngineSection, engines_[i].name, ticked);
        boxes_[i]->setChecked(ticked);
    }
}

void EngineBoxes::StoreTicks(data::IniFile& ini) const {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const int row = static_cast<int>(i);
        ini.WriteBool(kEngineSection, engines_[i].name, boxes_[i]->isChecked());
        if (row < kDesignedBoxes)
            ini.WriteBool(kWindowSection, DesignedKey(row), boxes_[i]->isChecked());
    }
}

}  // namespace kv::app
