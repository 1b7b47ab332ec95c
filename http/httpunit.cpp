// HttpUnit: the process-wide values and their files. FetchPage: fetchpage.cpp.
#include "http/httpunit.h"

#include <filesystem>

#include "data/inifile.h"

namespace kv::http {

namespace {

// The settings file holds the password of the web server: the user's eyes only.
constexpr mode_t kPrivateFileMode = 0600;

constexpr const char* kAuthFileName = "kelvane.auth";

}  // namespace

HttpUnit::HttpUnit(const std::string& programFolder) : folder_(programFolder) {
    ReloadSettings();
    credentials_.Open((std::filesystem::path(folder_) / kAuthFileName).string());
}

HttpUnit::~HttpUnit() {
    credentials_.Close();
}

void HttpUnit::ReloadSettings() {
    const data::IniFile ini(SettingsFilePath(folder_));
    const auto agents = std::filesystem::path(folder_) / kUserAgentListFile;
    settings_ = LoadConnectionSettings(ini, SystemProxyServer(), DefaultUserAgent(agents.string()));
}

void HttpUnit::SaveSettings(const ConnectionSettings& settings) {
    data::IniFile ini(SettingsFilePath(folder_));
    StoreConnectionSettings(ini, settings);
    ini.Save(kPrivateFileMode, true);
    ReloadSettings();
}

}  // namespace kv::http
