// A run window that shows nothing: it keeps the log lines and passes each status text to a
// hook. Tests and benchmarks override what else they watch.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "detect/runwindow.h"

namespace kv::testing {

class SilentRunWindow : public detect::RunWindow {
  public:
    bool ReadyFlag() const override { return true; }
    std::vector<std::string> TickedEngineNames() const override { return ticked; }
    void SetCountFooter(const std::string&) override {}
    void LogError(const std::string& message) override { log.push_back(message); }
    void SetWaitCursor(bool) override {}
    void ShowNoEngineMessage() override {}
    void StartClips() override {}
    void PutPictureBack() override {}
    bool PictureIsBack() override { return true; }
    void ClearErrorLog() override { log.clear(); }
    void SetRunControlsEnabled(bool) override {}
    void BindCommandToStop(bool) override {}
    void SetStatusText(const std::string& text) override {
        if (onStatus) onStatus(text);
    }
    void SetGaugeEnabled(bool) override {}
    void SetGaugeIndeterminate() override {}
    void SetGaugePosition(int) override {}
    void ProcessEvents() override {}

    std::vector<std::string> ticked;
    std::vector<std::string> log;
    std::function<void(const std::string&)> onStatus;
};

}  // namespace kv::testing
