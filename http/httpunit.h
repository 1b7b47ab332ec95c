// HttpUnit: the process-wide values of page fetching (connection settings, host cache,
// shared cookie list, credential store, stop flag), created once at start-up and freed at
// exit, and FetchPage, the one download operation every caller uses.
// Tests: tests/http/fetch_*_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "http/authstore.h"
#include "http/challengedhosts.h"
#include "http/connectionsettings.h"
#include "http/domainsiplist.h"
#include "http/httperror.h"
#include "http/sharedcookielist.h"

namespace kv::http {

// What a caller adds to one fetch.
struct FetchOptions {
    std::string postBody;                  // non-empty: POST as application/x-www-form-urlencoded
    std::vector<std::string> headerLines;  // extra request header lines "Name: value", no CR LF
};

class HttpUnit {
  public:
    // Loads the connection settings from <folder>/set.ini (with the system proxy for
    // ConnectType 3) and opens the credential store <folder>/kelvane.auth.
    explicit HttpUnit(const std::string& programFolder);
    // The same with set.ini in `settingsFolder` and the credential store in `dataFolder`.
    HttpUnit(const std::string& settingsFolder, const std::string& dataFolder);
    ~HttpUnit();  // closes the credential store (saves it when modified)
    HttpUnit(const HttpUnit&) = delete;
    HttpUnit& operator=(const HttpUnit&) = delete;

    ConnectionSettings& Settings() { return settings_; }
    // From set.ini again (after the settings dialog).
    void ReloadSettings();
    // Writes the nine keys to set.ini, readable by the user only (it holds a password), and
    // loads them again, as the settings dialog's OK does.
    void SaveSettings(const ConnectionSettings& settings);

    TDomainsIPList& HostCache() { return hostCache_; }
    // The shared cookie list, cleared by the run.
    SharedCookieList& Cookies() { return cookies_; }
    AuthStore& Credentials() { return credentials_; }
    // Window: the Qt dialog; command line: TerminalAuthDialog. Not owned.
    void SetAuthDialog(AuthDialog* dialog) { credentials_.SetDialog(dialog); }
    // Read by every wait of a fetch and before "Canceled by user. " is raised.
    void SetStopFlag(std::function<bool()> isStopped) { isStopped_ = std::move(isStopped); }

    // Downloads the page at `address`. On success `page` is the body of the final reply,
    // decoded and turned into UTF-8, and `address` the final location. A reply that is not
    // HTML returns with both untouched. Every failure raises FetchError with its log line.
    // Only time-outs are tried again. The option's header lines replace the default lines of
    // the same name (Accept-Language, say). This is a PageFetch waited for, with the shared
    // cookie list.
    void FetchPage(std::string& address, const std::string& checkText, const std::string& referrer,
                   std::string& page, const FetchOptions& options = {});

    bool Stopped() const { return isStopped_ && isStopped_(); }
    ChallengedHosts& Challenged() { return challenged_; }

  private:
    std::string folder_;
    ConnectionSettings settings_;
    TDomainsIPList hostCache_;
    SharedCookieList cookies_;
    AuthStore credentials_;
    ChallengedHosts challenged_;
    std::function<bool()> isStopped_;
};

}  // namespace kv::http
