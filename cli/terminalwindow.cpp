#include "cli/terminalwindow.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "detect/detectstrings.h"
#include "text/terminaltext.h"

namespace kv::cli {

TerminalWindow::TerminalWindow(std::vector<std::string> engines, std::string keyword, int depth)
    : engines_(std::move(engines)),
      keyword_(std::move(keyword)),
      depth_(depth),
      progress_(isatty(STDERR_FILENO) != 0) {}

TerminalWindow::~TerminalWindow() {
    ClearProgress();
}

void TerminalWindow::ClearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", stderr);
    progressShown_ = false;
}

void TerminalWindow::ShowProgress() {
    if (!progress_) return;
    std::string line = gauge_ && percent_ >= 0 ? "[" + std::to_string(percent_) + "%] " : "";
    line += text::EscapeForTerminal(status_);  // it names addresses from the web
    if (line.size() > 100) line = line.substr(0, 97) + "...";
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void TerminalWindow::LogError(const std::string& message) {
    ClearProgress();
    std::fprintf(stderr, "%s\n", text::EscapeForTerminal(message).c_str());
    ShowProgress();
}

void TerminalWindow::ShowNoEngineMessage() {
    std::fprintf(stderr, "%s\n", detect::strings::kNoEngineTicked);
}

void TerminalWindow::SetStatusText(const std::string& text) {
    status_ = text;
    ShowProgress();
}

void TerminalWindow::SetGaugeEnabled(bool enabled) {
    gauge_ = enabled;
    if (!enabled) ClearProgress();
}

void TerminalWindow::SetGaugePosition(int percent) {
    percent_ = percent;
    ShowProgress();
}

void TerminalWindow::ProcessEvents() {
    QCoreApplication::processEvents();
}

}  // namespace kv::cli
