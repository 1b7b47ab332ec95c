// Runs THttpCli exchanges against the scripted server on Qt's event loop.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "http/httpcli.h"
#include "tests/http/headtail.h"
#include "tests/support/scripted_server.h"

namespace kv::http::testing {

using kv::testing::Script;
using kv::testing::ScriptedServer;
using namespace std::chrono_literals;

// Turns the event loop until `done` holds; false when the safety cap passed first.
inline bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds cap = 15s) {
    QTimer tick;  // wakes the loop, so that `done` is checked even when nothing arrives
    tick.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > cap.count()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

class ExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cli.SetRcvdStream(&body);
        cli.OnRequestDone = [this](THttpCli&) { ++done; };
    }

    // Starts a GET of `url` and runs it to its request-done notice.
    void Fetch(const std::string& url) {
        cli.SetURL(url);
        int before = done;
        cli.GetASync();
        ASSERT_TRUE(RunEventsUntil([&] { return done > before; })) << "exchange never ended";
        EXPECT_EQ(cli.State(), THttpState::Ready);
    }

    THttpCli cli;
    std::string body;
    int done = 0;
};

}  // namespace kv::http::testing
