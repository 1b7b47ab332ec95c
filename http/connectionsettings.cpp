#include "http/connectionsettings.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "text/commatext.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

std::string Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return std::string(s);
}

std::optional<int> ParseInt(std::string_view s) {
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

int ReadInt(const data::IniFile& ini, const char* key, int defaultValue) {
    const auto v = ini.Find(kSettingsSection, key);
    return v ? ParseInt(*v).value_or(defaultValue) : defaultValue;
}

// "http://user:pw@host:3128/" -> "host:3128"; other forms stay as they are.
std::string FromUrlForm(std::string value) {
    const std::size_t scheme = value.find("://");
    if (scheme == std::string::npos) return value;
    std::string authority = value.substr(scheme + 3);
    authority = authority.substr(0, authority.find('/'));
    const std::size_t at = authority.rfind('@');
    return at == std::string::npos ? authority : authority.substr(at + 1);
}

// The display split of the dialog: text before the first ":" and after it, trimmed.
std::pair<std::string, std::string> SplitAtColon(const std::string& value) {
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos) return {Trim(value), ""};
    return {Trim(value.substr(0, colon)), Trim(value.substr(colon + 1))};
}

}  // namespace

std::optional<std::string> SystemProxyServer() {
    for (const char* name : {"http_proxy", "HTTP_PROXY"}) {
        if (const char* v = std::getenv(name)) return FromUrlForm(v);
    }
    return std::nullopt;
}

void DeriveSystemProxy(const std::string& proxyServer, std::string& proxy, int& port) {
    std::string text = proxyServer;
    for (char& c : text)
        if (c == ';') c = ',';
    std::string chosen = text;
    for (const auto& entry : text::SplitCommaText(text)) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string::npos) continue;
        if (text::SameIgnoringCase(entry.substr(0, eq), "http") && eq + 1 < entry.size()) {
            chosen = entry.substr(eq + 1);
            break;
        }
    }
    const std::size_t colon = chosen.find(':');
    if (colon == std::string::npos) {
        proxy = Trim(chosen);
        port = 0;
        return;
    }
    proxy = Trim(chosen.substr(0, colon));
    port = ParseInt(Trim(chosen.substr(colon + 1))).value_or(0);
}

namespace {

// The lines of the User-Agent list, without line ends.
std::vector<std::string> ReadUserAgentList(const std::string& path) {
    std::vector<std::string> agents;
    std::ifstream list(path);
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        agents.push_back(line);
    }
    return agents;
}

}  // namespace

std::string DefaultUserAgent(const std::string& uaListPath) {
    const std::vector<std::string> agents = ReadUserAgentList(uaListPath);
    return agents.empty() || Trim(agents.front()).empty() ? kDefaultUserAgent : agents.front();
}

ConnectionSettings LoadConnectionSettings(const data::IniFile& ini,
                                          const std::optional<std::string>& systemProxy,
                                          const std::string& defaultAgent) {
    ConnectionSettings s;
    s.timeout = ReadInt(ini, "timeout", 30);
    s.RetryConnect = ReadInt(ini, "RetryConnect", 2);
    s.UserAgent = ini.ReadString(kSettingsSection, "UserAgent", defaultAgent);
    s.Proxy = ini.ReadString(kSettingsSection, "Proxy", "");
    s.ProxyPort = ReadInt(ini, "ProxyPort", 0);
    s.Username = ini.ReadString(kSettingsSection, "Username", "");
    s.Password = ini.ReadString(kSettingsSection, "Password", "");
    s.UseAuth = ReadInt(ini, "UseAuth", 0);
    s.ConnectType = ReadInt(ini, "ConnectType", kConnectSystem);
    s.CAFile = ini.ReadString(kSettingsSection, "CAFile", "");
    s.AcceptLanguage = ini.ReadString(kSettingsSection, "AcceptLanguage", kDefaultAcceptLanguage);
    if (s.ConnectType == kConnectSystem && systemProxy)
        DeriveSystemProxy(*systemProxy, s.Proxy, s.ProxyPort);
    return s;
}

void StoreConnectionSettings(data::IniFile& ini, const ConnectionSettings& s) {
    ini.WriteInteger(kSettingsSection, "timeout", s.timeout);
    ini.WriteInteger(kSettingsSection, "RetryConnect", s.RetryConnect);
    ini.WriteString(kSettingsSection, "UserAgent", s.UserAgent);
    ini.WriteString(kSettingsSection, "Proxy", s.Proxy);
    ini.WriteInteger(kSettingsSection, "ProxyPort", s.ProxyPort);
    ini.WriteString(kSettingsSection, "Username", s.Username);
    ini.WriteString(kSettingsSection, "Password", s.Password);
    ini.WriteInteger(kSettingsSection, "UseAuth", s.UseAuth);
    ini.WriteInteger(kSettingsSection, "ConnectType", s.ConnectType);
    ini.WriteString(kSettingsSection, "CAFile", s.CAFile);
    ini.WriteString(kSettingsSection, "AcceptLanguage", s.AcceptLanguage);
}

std::string SettingsFilePath(const std::string& folder) {
    return (std::filesystem::path(folder) / "set.ini").string();
}

void SettingsDialogModel::Fill(const ConnectionSettings& s, const std::string& uaListPath,
                               const std::optional<std::string>& systemProxy) {
    systemProxy_ = systemProxy;
    proxyText = s.Proxy;
    portText = s.ProxyPort != 0 ? std::to_string(s.ProxyPort) : "";
    timeoutText = std::to_string(s.timeout);
    retryText = std::to_string(s.RetryConnect);
    userAgents = ReadUserAgentList(uaListPath);
    userAgentText = s.UserAgent;
    caFileText = s.CAFile;
    acceptLanguageText = s.AcceptLanguage;
    nameText = s.Username;
    passwordText = s.Password;
    SetUseAuth(s.UseAuth == 1);
    SelectConnectType(s.ConnectType == kConnectDirect || s.ConnectType == kConnectProxy
                          ? s.ConnectType
                          : kConnectSystem);
}

void SettingsDialogModel::SelectConnectType(int type) {
    connectType = type;
    proxyFieldsEnabled = type == kConnectProxy;
    if (type == kConnectSystem && systemProxy_) {
        auto [host, port] = SplitAtColon(*systemProxy_);
        proxyText = host;
        portText = port;
    }
}

void SettingsDialogModel::SetUseAuth(bool on) {
    useAuth = on;
    authFieldsEnabled = on;
}

ConnectionSettings SettingsDialogModel::Result() const {
    ConnectionSettings s;
    s.Proxy = proxyText;
    s.ProxyPort = ParseInt(portText).value_or(0);
    s.timeout = ParseInt(timeoutText).value_or(30);
    s.RetryConnect = ParseInt(retryText).value_or(2);
    s.UserAgent = userAgentText;
    s.Username = nameText;
    s.Password = passwordText;
    s.UseAuth = useAuth ? 1 : 0;
    s.ConnectType = connectType;
    s.CAFile = caFileText;
    s.AcceptLanguage = acceptLanguageText;
    return s;
}

}  // namespace kv::http
