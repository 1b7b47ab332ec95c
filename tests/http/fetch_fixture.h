// A HttpUnit in a temporary program folder with settings for tests (direct, a time-out that
// no working exchange reaches even on a loaded machine, no retries) and a credential dialog
// that answers as the test says and records what it showed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "http/authstore.h"
#include "http/httpunit.h"
#include "tests/support/tempdir.h"

namespace kv::http::testing {

class ScriptedDialog : public AuthDialog {
  public:
    int Execute(TAuthDlgData& data) override {
        shown.push_back(data);
        if (answer != kAuthOk) return answer;
        data.userName = user;
        data.password = password;
        data.save = save;
        return kAuthOk;
    }

    std::vector<TAuthDlgData> shown;
    int answer = kAuthOk;
    std::string user;
    std::string password;
    bool save = false;
};

inline constexpr const char* kTestAgent = "KelvaneTest/1.0";

class FetchTest : public ::testing::Test {
  protected:
    void SetUp() override { Start(); }

    // A new unit on the same program folder, as after a restart.
    void Start() {
        unit.reset();
        unit = std::make_unique<HttpUnit>(folder.path().string());
        ConnectionSettings& s = unit->Settings();
        s.ConnectType = kConnectDirect;
        s.Proxy.clear();
        s.ProxyPort = 0;
        s.timeout = 10;  // a test of the time-out itself sets a short one
        s.RetryConnect = 0;
        s.UserAgent = kTestAgent;
        unit->SetAuthDialog(&dialog);
        unit->SetStopFlag([this] { return stop; });
    }

    std::string Details(const std::string& url, const std::string& referrer = "") const {
        const ConnectionSettings& s = unit->Settings();
        return "Proxy: " + s.Proxy + ". Port: " + std::to_string(s.ProxyPort) +
               ". UserAgent: " + s.UserAgent + ". URL: " + url + ". Referrer: " + referrer;
    }

    // The failure log line of a fetch that must fail.
    std::string FailureOf(std::string url, const std::string& check = "",
                          const std::string& referrer = "") {
        std::string page = "untouched";
        try {
            unit->FetchPage(url, check, referrer, page);
        } catch (const FetchError& error) {
            lastStatus = error.Status();
            return error.what();
        }
        ADD_FAILURE() << "the fetch of " << url << " succeeded";
        return {};
    }

    int lastStatus = -1;  // the HTTP status the last FailureOf's error carried
    kv::testing::TempDir folder;
    ScriptedDialog dialog;
    bool stop = false;
    std::unique_ptr<HttpUnit> unit;
};

}  // namespace kv::http::testing
