// The detection run's window on a terminal: log lines go to stderr, and one progress line
// too, but only when stderr is a terminal.
#pragma once

#include <string>
#include <vector>

#include "detect/runwindow.h"

namespace kv::cli {

class TerminalWindow : public detect::RunWindow {
  public:
    explicit TerminalWindow(std::vector<std::string> engines);
    ~TerminalWindow() override;

    void SetReady(bool ready) { ready_ = ready; }
    const std::string& CountFooter() const { return footer_; }

    bool ReadyFlag() const override { return ready_; }
    std::vector<std::string> TickedEngineNames() const override { return engines_; }
    // The engines a run asks, once the definitions have named them.
    void SetEngines(std::vector<std::string> engines) { engines_ = std::move(engines); }
    void SetCountFooter(const std::string& text) override { footer_ = text; }
    void LogError(const std::string& message) override;
    void SetWaitCursor(bool) override {}

    void ShowNoEngineMessage() override;
    void StartClips() override {}
    void PutPictureBack() override {}
    bool PictureIsBack() override { return true; }
    void ClearErrorLog() override {}
    void SetRunControlsEnabled(bool) override {}
    void BindCommandToStop(bool) override {}
    void SetStatusText(const std::string& text) override;
    void SetGaugeEnabled(bool enabled) override;
    void SetGaugeIndeterminate() override {}
    void SetGaugePosition(int) override {}
    void ProcessEvents() override;
    detect::KeywordSources ChosenKeywordSources() const override { return sources_; }
    void SetKeywordSources(detect::KeywordSources sources) { sources_ = sources; }
    void ShowProgress(const detect::RunProgress& progress) override;

  private:
    void DrawProgress();
    void ClearProgress();

    std::vector<std::string> engines_;
    bool ready_ = false;
    std::string footer_;
    bool progress_;  // stderr is a terminal
    bool progressShown_ = false;
    std::string line_;
    bool gauge_ = false;
    detect::KeywordSources sources_ = detect::KeywordSources::All();
};

}  // namespace kv::cli
