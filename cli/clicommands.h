// The three commands of kelvane-cli; each returns the exit code.
#pragma once

#include <stdexcept>
#include <string>

#include "cli/cliarguments.h"

namespace kv::cli {

// Exit codes: 0 done (also when pages failed: they are in the log), 1 failure to start,
// 2 usage error, 4 a detection run stored no page, 128 + the signal number when SIGINT,
// SIGTERM or SIGHUP stopped it (130, 143, 129).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNothingStored = 4;
inline constexpr int kExitInterrupted = 130;

// A failure already reported on stderr: exit code 1 without another message.
class LoadFailureReported : public std::runtime_error {
  public:
    LoadFailureReported() : std::runtime_error("load failure reported") {}
};

int RunDetect(const CliArguments& args);
int RunTheme(const CliArguments& args);
int RunKeywords(const CliArguments& args);

// Set by SIGINT, SIGTERM or SIGHUP; the run treats it as the Stop command.
void InstallInterruptHandler();
bool Interrupted();
// 128 + the number of the signal that interrupted the program.
int InterruptedExitCode();

// Prints a load failure; for a damaged history or cache it says how to set the file aside.
void ReportLoadFailure(const std::string& message, const std::string& failedFile);

}  // namespace kv::cli
