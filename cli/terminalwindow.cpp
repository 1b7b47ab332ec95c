#include "cli/terminalwindow.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "cli/progressline.h"
#include "detect/detectstrings.h"
#include "text/terminaltext.h"

namespace kv::cli {

namespace {

// A line that fits an ordinary terminal, so that a carriage return redraws it in place.
constexpr std::size_t kMaxProgressWidth = 100;

}  // namespace

TerminalWindow::TerminalWindow(std::vector<std::string> engines)
    : engines_(std::move(engines)), progress_(isatty(STDERR_FILENO) != 0) {}

TerminalWindow::~TerminalWindow() {
    ClearProgress();
}

void TerminalWindow::ClearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", stderr);
    progressShown_ = false;
}

void TerminalWindow::DrawProgress() {
    if (!progress_ || !gauge_ || line_.empty()) return;
    std::string line = text::EscapeForTerminal(line_);  // it may name things from the web
    if (line.size() > kMaxProgressWidth) line = line.substr(0, kMaxProgressWidth - 3) + "...";
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void TerminalWindow::ShowProgress(const detect::RunProgress& progress) {
    line_ = ProgressLine(progress);
    DrawProgress();
}

void TerminalWindow::LogError(const std::string& message) {
    ClearProgress();
    std::fprintf(stderr, "%s\n", text::EscapeForTerminal(message).c_str());
    DrawProgress();
}

void TerminalWindow::ShowNoEngineMessage() {
    std::fprintf(stderr, "%s\n", detect::strings::kNoEngineTicked);
}

void TerminalWindow::SetStatusText(const std::string&) {
    // The progress line says what the status bar would: the pages and the engine asked.
}

void TerminalWindow::SetGaugeEnabled(bool enabled) {
    gauge_ = enabled;
    if (!enabled) {
        ClearProgress();
        line_.clear();
    }
}

void TerminalWindow::ProcessEvents() {
    QCoreApplication::processEvents();
}

}  // namespace kv::cli
