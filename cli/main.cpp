// kelvane-cli: the detection run and the theme of cached keywords without a window.
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/clicommands.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    kv::cli::CliArguments parsed;
    try {
        parsed = kv::cli::ParseArguments(args);
    } catch (const kv::cli::UsageError& e) {
        std::fprintf(stderr, "kelvane-cli: %s\n\n%s", e.what(), kv::cli::kUsage);
        return kv::cli::kExitUsage;
    }
    kv::cli::InstallInterruptHandler();
    try {
        switch (parsed.command) {
            case kv::cli::Command::Detect:
                return kv::cli::RunDetect(parsed);
            case kv::cli::Command::Theme:
                return kv::cli::RunTheme(parsed);
            case kv::cli::Command::Keywords:
                return kv::cli::RunKeywords(parsed);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
        return kv::cli::kExitFailure;
    }
    return kv::cli::kExitFailure;
}
