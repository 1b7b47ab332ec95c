// kelvane-cli: the detection run and the theme of cached keywords without a window.
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/clicommands.h"
#include "cli/enginescommand.h"

int main(int argc, char** argv) {
    // First of all, so that Ctrl-C is the Stop command from the very start.
    kv::cli::InstallInterruptHandler();
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    kv::cli::CliArguments parsed;
    try {
        if (!args.empty() && args[0] == "engines") {
            try {
                return kv::cli::RunEngines({args.begin() + 1, args.end()});
            } catch (const kv::cli::UsageError&) {
                throw;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
                return kv::cli::kExitFailure;
            }
        }
        parsed = kv::cli::ParseArguments(args);
    } catch (const kv::cli::UsageError& e) {
        std::fprintf(stderr, "kelvane-cli: %s\n\n%s", e.what(), kv::cli::kUsage);
        return kv::cli::kExitUsage;
    }
    try {
        switch (parsed.command) {
            case kv::cli::Command::Detect:
                return kv::cli::RunDetect(parsed);
            case kv::cli::Command::Theme:
                return kv::cli::RunTheme(parsed);
            case kv::cli::Command::Keywords:
                return kv::cli::RunKeywords(parsed);
        }
    } catch (const kv::cli::UsageError& e) {  // an engine name the definitions do not know
        std::fprintf(stderr, "kelvane-cli: %s\n\n%s", e.what(), kv::cli::kUsage);
        return kv::cli::kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
        return kv::cli::kExitFailure;
    }
    return kv::cli::kExitFailure;
}
