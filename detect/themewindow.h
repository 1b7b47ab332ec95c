// What the keyword aggregation needs of the main window; the window implements it, and so
// do the command-line program and the tests.
#pragma once

#include <string>
#include <vector>

namespace kv::detect {

class ThemeWindow {
  public:
    virtual ~ThemeWindow() = default;
    // False until the window has finished creating itself.
    virtual bool ReadyFlag() const = 0;
    // Captions of the ticked engine check boxes.
    virtual std::vector<std::string> TickedEngineNames() const = 0;
    // The footer text of the frequency grid's Count column.
    virtual void SetCountFooter(const std::string& text) = 0;
    // One line in the error log pane.
    virtual void LogError(const std::string& message) = 0;
    // The hourglass cursor on or off.
    virtual void SetWaitCursor(bool on) = 0;
};

}  // namespace kv::detect
