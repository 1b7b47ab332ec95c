#include "http/connectionsettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::http {
namespace {

using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

class ConnectionSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
    TempDir dir;
};

TEST_F(ConnectionSettingsTest, NoFileGivesTheDefaultsAndWritesNothing) {
    data::IniFile ini(SettingsFilePath(dir.path()));
    const auto s = LoadConnectionSettings(ini, std::nullopt);
    EXPECT_EQ(s.timeout, 30);
    EXPECT_EQ(s.RetryConnect, 2);
    EXPECT_EQ(s.UserAgent, kDefaultUserAgent);
    EXPECT_EQ(s.ConnectType, 3);
    EXPECT_EQ(s.Proxy, "");
    EXPECT_FALSE(std::filesystem::exists(SettingsFilePath(dir.path())));
}

TEST_F(ConnectionSettingsTest, KeysAreReadAndBadIntegersCountAsMissing) {
    WriteFileBytes(
        SettingsFilePath(dir.path()),
        "[inet]\ntimeout=x\nRetryConnect=5\nProxy=p.example\nProxyPort=8080\nConnectType=2\n");
    const auto s = LoadConnectionSettings(data::IniFile(SettingsFilePath(dir.path())), "other:1");
    EXPECT_EQ(s.timeout, 30);
    EXPECT_EQ(s.RetryConnect, 5);
    EXPECT_EQ(s.Proxy, "p.example");
    EXPECT_EQ(s.ProxyPort, 8080);
}

TEST_F(ConnectionSettingsTest, SystemProxyIsDerivedOnlyForConnectType3) {
    std::string proxy = "file";
    int port = 1;
    DeriveSystemProxy("host.example:3128", proxy, port);
    EXPECT_EQ(proxy, "host.example");
    EXPECT_EQ(port, 3128);
    DeriveSystemProxy("ftp=ftp.example:21;http=web.example:8080", proxy, port);
    EXPECT_EQ(proxy, "web.example");
    EXPECT_EQ(port, 8080);
    DeriveSystemProxy("\"HTTP=quoted.example:81\" other", proxy, port);
    EXPECT_EQ(proxy, "quoted.example");
    EXPECT_EQ(port, 81);
    DeriveSystemProxy("  bare.example ", proxy, port);
    EXPECT_EQ(proxy, "bare.example");
    EXPECT_EQ(port, 0);
    DeriveSystemProxy("", proxy, port);
    EXPECT_EQ(proxy, "");

    WriteFileBytes(SettingsFilePath(dir.path()), "[inet]\nProxy=kept\nProxyPort=1\n");
    data::IniFile ini(SettingsFilePath(dir.path()));
    EXPECT_EQ(LoadConnectionSettings(ini, std::nullopt).Proxy, "kept");  // no system value
    EXPECT_EQ(LoadConnectionSettings(ini, "sys:2").Proxy, "sys");
}

TEST_F(ConnectionSettingsTest, EnvironmentProxyInUrlFormBecomesHostAndPort) {
    setenv("http_proxy", "http://user:pw@proxy.example:3128/", 1);
    EXPECT_EQ(SystemProxyServer(), "proxy.example:3128");
    unsetenv("http_proxy");
    setenv("HTTP_PROXY", "plain.example:80", 1);
    EXPECT_EQ(SystemProxyServer(), "plain.example:80");
    unsetenv("HTTP_PROXY");
    EXPECT_EQ(SystemProxyServer(), std::nullopt);
}

TEST_F(ConnectionSettingsTest, SaveWritesTheKeysInOrder) {
    data::IniFile ini(SettingsFilePath(dir.path()));
    ConnectionSettings s;
    s.Password = "pw";
    StoreConnectionSettings(ini, s);
    ini.Save(0600, true);
    EXPECT_EQ(kv::testing::ReadFileBytes(SettingsFilePath(dir.path())),
              "[inet]\ntimeout=30\nRetryConnect=2\nUserAgent=Mozilla/4.0 (compatible; MSIE 5.5; "
              "Windows 98)\nProxy=\nProxyPort=0\nUsername=\nPassword=pw\nUseAuth=0\nConnectType=3\n"
              "ParallelFetches=8\nPageTimeout=120\nCAFile=\nAcceptLanguage=en-US,en;q=0.9\n");
}

TEST_F(ConnectionSettingsTest, DialogModelFillsEnablesAndReadsBack) {
    WriteFileBytes(dir.File("ua.lst"), "UA one\r\nUA two\n");
    SettingsDialogModel m;
    ConnectionSettings s;
    s.ConnectType = 7;
    s.UseAuth = 1;
    m.Fill(s, dir.File("ua.lst"), "ftp=f:21;http=h:8080");
    EXPECT_EQ(m.userAgents, (std::vector<std::string>{"UA one", "UA two"}));
    EXPECT_EQ(m.connectType, 3);
    EXPECT_FALSE(m.proxyFieldsEnabled);
    EXPECT_TRUE(m.authFieldsEnabled);
    // The display split takes the raw value at its first ":".
    EXPECT_EQ(m.proxyText, "ftp=f");
    EXPECT_EQ(m.portText, "21;http=h:8080");
    ConnectionSettings r = m.Result();
    EXPECT_EQ(r.Proxy, "ftp=f");
    EXPECT_EQ(r.ProxyPort, 0);

    m.SelectConnectType(2);
    EXPECT_TRUE(m.proxyFieldsEnabled);
    m.timeoutText = "";
    m.retryText = "-1";
    m.SetUseAuth(false);
    r = m.Result();
    EXPECT_EQ(r.timeout, 30);
    EXPECT_EQ(r.RetryConnect, -1);
    EXPECT_EQ(r.UseAuth, 0);
    EXPECT_EQ(r.ConnectType, 2);

    SettingsDialogModel empty;
    empty.Fill(ConnectionSettings{}, dir.File("missing.lst"), std::nullopt);
    EXPECT_TRUE(empty.userAgents.empty());
    EXPECT_EQ(empty.portText, "");

    // A new set.ini takes the list's first agent; an existing value is kept.
    EXPECT_EQ(DefaultUserAgent(dir.File("ua.lst")), "UA one");
    EXPECT_EQ(DefaultUserAgent(dir.File("missing.lst")), kDefaultUserAgent);
    data::IniFile ini(SettingsFilePath(dir.path()));
    EXPECT_EQ(LoadConnectionSettings(ini, std::nullopt, "UA one").UserAgent, "UA one");
    ini.WriteString(kSettingsSection, "UserAgent", "Kept/1.0");
    ini.WriteString(kSettingsSection, "CAFile", "/ca.pem");
    const ConnectionSettings kept = LoadConnectionSettings(ini, std::nullopt, "UA one");
    EXPECT_EQ(kept.UserAgent, "Kept/1.0");
    EXPECT_EQ(kept.CAFile, "/ca.pem");
    EXPECT_EQ(kept.AcceptLanguage, kDefaultAcceptLanguage);
}

TEST_F(ConnectionSettingsTest, PagesSideBySideAreAtLeastOneAndThePageDeadlineIsKept) {
    SettingsDialogModel m;
    ConnectionSettings s;
    s.ParallelFetches = 3;
    s.PageTimeout = 45;
    m.Fill(s, dir.File("missing.lst"), std::nullopt);
    EXPECT_EQ(m.parallelText, "3");
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"12", 12}, {"0", 1}, {"-4", 1}, {"many", 8}, {"", 8}}) {
        m.parallelText = text;
        EXPECT_EQ(m.Result().ParallelFetches, expected) << text;
        EXPECT_EQ(m.Result().PageTimeout, 45);
    }
    data::IniFile ini(SettingsFilePath(dir.path()));
    ini.WriteString(kSettingsSection, "ParallelFetches", "0");
    EXPECT_EQ(LoadConnectionSettings(ini, std::nullopt).ParallelFetches, 1);
    EXPECT_EQ(LoadConnectionSettings(ini, std::nullopt).PageTimeout, 120);
}

}  // namespace
}  // namespace kv::http
