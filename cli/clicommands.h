// The three commands of kelvane-cli; each returns the exit code.
#pragma once

#include "cli/cliarguments.h"

namespace kv::cli {

// Exit codes: 0 done (also when pages failed: they are in the log), 1 failure to start,
// 2 usage error, 130 interrupted.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

int RunDetect(const CliArguments& args);
int RunTheme(const CliArguments& args);
int RunKeywords(const CliArguments& args);

// Set by SIGINT; the run treats it as the Stop command.
void InstallInterruptHandler();
bool Interrupted();

}  // namespace kv::cli
