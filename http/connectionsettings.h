// How every page fetch reaches the web: section "inet" of "set.ini", and the system's proxy.
// Tests: tests/http/connectionsettings_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/inifile.h"

namespace kv::http {

inline constexpr const char* kSettingsSection = "inet";
inline constexpr const char* kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)";
inline constexpr const char* kDefaultAcceptLanguage = "en-US,en;q=0.9";
inline constexpr const char* kUserAgentListFile = "ua.lst";

enum ConnectType { kConnectDirect = 1, kConnectProxy = 2, kConnectSystem = 3 };

struct ConnectionSettings {
    int timeout = 30;
    int RetryConnect = 2;
    std::string UserAgent = kDefaultUserAgent;
    std::string Proxy;
    int ProxyPort = 0;
    std::string Username;
    std::string Password;
    int UseAuth = 0;
    int ConnectType = kConnectSystem;
    std::string CAFile;  // a PEM file of CA certificates trusted besides the system's
    std::string AcceptLanguage = kDefaultAcceptLanguage;
};

// The User-Agent of a new set.ini: the first line of the list (a current desktop browser),
// kDefaultUserAgent when the list is missing or empty.
std::string DefaultUserAgent(const std::string& uaListPath);

// The system's proxy setting in the registry value's form ("host:port", or a list such as
// "ftp=h:21;http=h:8080"); nullopt when the system has none. Here it is the environment's
// http_proxy, then HTTP_PROXY; their URL form ("http://user@host:port/") is reduced to
// "host:port" first.
std::optional<std::string> SystemProxyServer();

// Proxy host and port from a system proxy value, for ConnectType 3.
void DeriveSystemProxy(const std::string& proxyServer, std::string& proxy, int& port);

// Reads the keys with their defaults (`defaultAgent` for a missing UserAgent), then derives
// the proxy for ConnectType 3 when a system proxy value exists (in memory only).
ConnectionSettings LoadConnectionSettings(const data::IniFile& ini,
                                          const std::optional<std::string>& systemProxy,
                                          const std::string& defaultAgent = kDefaultUserAgent);

// Writes the keys in order (the nine of old, then CAFile and AcceptLanguage); the caller saves the file (readable by the user only: it
// holds the password).
void StoreConnectionSettings(data::IniFile& ini, const ConnectionSettings& settings);

// The settings file's path in a program folder.
std::string SettingsFilePath(const std::string& folder);

// What the settings dialog shows and how its choices behave, without widgets.
class SettingsDialogModel {
  public:
    // Fills the fields from the settings; the User-Agent list comes from "ua.lst".
    void Fill(const ConnectionSettings& settings, const std::string& uaListPath,
              const std::optional<std::string>& systemProxy);
    void SelectConnectType(int type);
    void SetUseAuth(bool on);
    // The settings the OK button stores.
    ConnectionSettings Result() const;

    std::string proxyText, portText, timeoutText, retryText, userAgentText, nameText, passwordText;
    std::string caFileText, acceptLanguageText;
    std::vector<std::string> userAgents;
    bool useAuth = false;
    int connectType = kConnectSystem;
    bool proxyFieldsEnabled = false;
    bool authFieldsEnabled = false;

  private:
    std::optional<std::string> systemProxy_;
};

}  // namespace kv::http
