// kelvane-demo-engine [--port N] [--latency MS] [--slow MS] [--site-hosts N]
// Serves the five demo search engines and their result sites on 127.0.0.1 until SIGINT or
// SIGTERM. The first line on stdout is the port it listens on (useful with --port 0).
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "tools/demoengine/demoserver.h"
#include "tools/demoengine/demostrings.h"

namespace {

// An hour: more is surely a typing error, and timers need an int.
constexpr long kMaxDelayMs = 3600 * 1000;

std::optional<long> ParseNumber(const char* text, long max) {
    if (text == nullptr || *text == '\0') return std::nullopt;
    long value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        value = value * 10 + (*p - '0');
        if (value > max) return std::nullopt;
    }
    return value;
}

enum class Parsed { Run, Help, Bad };

Parsed ParseOptions(int argc, char** argv, kv::demo::ServerOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        const char* value = nullptr;
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = argv[i] + eq + 1;
            name.resize(eq);
        } else if (name != "--help" && name != "-h" && i + 1 < argc) {
            value = argv[++i];
        }
        if (name == "--help" || name == "-h") return Parsed::Help;
        const long max = name == "--port"         ? 65535
                         : name == "--site-hosts" ? kv::demo::kMaxSiteHosts
                                                  : kMaxDelayMs;
        const std::optional<long> number = ParseNumber(value, max);
        if (!number) return Parsed::Bad;
        if (name == "--port") {
            options.port = static_cast<quint16>(*number);
        } else if (name == "--latency") {
            options.latencyMs = static_cast<int>(*number);
        } else if (name == "--slow") {
            options.slowDelayMs = static_cast<int>(*number);
        } else if (name == "--site-hosts") {
            options.siteHosts = static_cast<int>(*number);
        } else {
            return Parsed::Bad;
        }
    }
    return Parsed::Run;
}

}  // namespace

int main(int argc, char** argv) {
    kv::demo::ServerOptions options;
    switch (ParseOptions(argc, argv, options)) {
        case Parsed::Help:
            std::fputs(kv::demo::strings::kUsage, stdout);
            return 0;
        case Parsed::Bad:
            std::fputs(kv::demo::strings::kUsage, stderr);
            return 2;
        case Parsed::Run:
            break;
    }
    // The signals arrive as readable events of the event loop, so the server ends through
    // its normal path and closes its port.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fprintf(stderr, kv::demo::strings::kSignalFdFailed, std::strerror(errno));
        return 1;
    }

    QCoreApplication app(argc, argv);
    kv::demo::DemoServer server(options);
    try {
        server.Start();
    } catch (const std::exception& e) {
        std::fprintf(stderr, kv::demo::strings::kErrorLine, e.what());
        return 1;
    }
    QSocketNotifier notifier(signalFd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info;
        if (read(signalFd, &info, sizeof info) > 0) QCoreApplication::quit();
    });

    std::cout << server.Port() << std::endl;
    std::fprintf(stderr, kv::demo::strings::kServing, static_cast<unsigned>(server.Port()),
                 options.latencyMs);
    const int code = app.exec();
    close(signalFd);
    return code;
}
