// The engine check boxes of the main window: one per engine definition row, in table order,
// captioned with its SEName, wrapping onto more lines. Ticks are remembered by engine name;
// the first five rows also read and write the designed keys (TBXCheckBox2, 1, 3, 4, 5), so an
// old set.ini keeps its ticks.
// Tests: tests/app/engineboxes_test.cpp.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "data/inifile.h"

class QCheckBox;
class QGridLayout;

namespace kv::app {

struct EngineBoxSpec {
    std::string name;
    bool hasAddress = true;  // without a query address the box starts unticked
};

class EngineBoxes : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kBoxesPerLine = 5;

    explicit EngineBoxes(QWidget* parent = nullptr);

    // Replaces the boxes; all start ticked but those without an address.
    void Build(const std::vector<EngineBoxSpec>& engines);
    const std::vector<QCheckBox*>& Boxes() const { return boxes_; }
    std::vector<std::string> TickedNames() const;
    // The designed focus target of the no-engine message ("All The Web", the second box).
    void FocusFirst();

    void RestoreTicks(const data::IniFile& ini);
    void StoreTicks(data::IniFile& ini) const;

    // The designed component name of the box of row `row` (from 0).
    static QString BoxName(int row);

  signals:
    void TicksChanged();

  private:
    QGridLayout* grid_;
    std::vector<QCheckBox*> boxes_;
    std::vector<EngineBoxSpec> engines_;
};

}  // namespace kv::app
