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

namespace {

constexpr const char* kUsage =
    "usage: kelvane-demo-engine [--port N] [--latency MS] [--slow MS] [--site-hosts N]\n"
    "  --port N      port on 127.0.0.1 (default 8765; 0 picks a free one)\n"
    "  --latency MS  delay every answer by MS milliseconds (default 0)\n"
    "  --slow MS     how long the slow result site takes (default 2000)\n"
    "  --site-hosts N  serve the result sites from 127.0.0.2 upwards, N addresses (0-8,\n"
    "                default 8; 0: every site on 127.0.0.1)\n"
    "The port is printed as the first line on stdout. SIGINT or SIGTERM ends the server.\n";

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
            std::cout << kUsage;
            return 0;
        case Parsed::Bad:
            std::cerr << kUsage;
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
        std::cerr << "kelvane-demo-engine: signalfd: " << std::strerror(errno) << "\n";
        return 1;
    }

    QCoreApplication app(argc, argv);
    kv::demo::DemoServer server(options);
    try {
        server.Start();
    } catch (const std::exception& e) {
        std::cerr << "kelvane-demo-engine: " << e.what() << "\n";
        return 1;
    }
    QSocketNotifier notifier(signalFd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info;
        if (read(signalFd, &info, sizeof info) > 0) QCoreApplication::quit();
    });

    std::cout << server.Port() << std::endl;
    std::cerr << "kelvane-demo-engine: serving http://127.0.0.1:" << server.Port() << "/ (latency "
              << options.latencyMs << " ms); stop with Ctrl-C\n";
    const int code = app.exec();
    close(signalFd);
    return code;
}
