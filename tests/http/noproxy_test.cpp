#include "http/noproxy.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "data/inifile.h"
#include "http/connectionsettings.h"
#include "http/proxyoverridelist.h"

namespace kv::http {
namespace {

TEST(NoProxy, DomainsSuffixesPortsAndStarDecideWhatGoesDirect) {
    struct Case {
        const char* noProxy;
        const char* host;
        const char* port;
        bool direct;
    } cases[] = {
        {"example.com", "example.com", "80", true},
        {"example.com", "www.example.com", "80", true},
        {"example.com", "badexample.com", "80", false},
        {".example.com", "www.example.com", "80", true},
        {".example.com", "example.com", "80", false},
        {"localhost:8080", "localhost", "8080", true},
        {"localhost:8080", "localhost", "80", false},
        {" a.test , b.test ", "b.test", "80", true},
        {"*", "anything.at.all", "443", true},
        {"127.0.0.1", "127.0.0.1", "80", true},
        {"", "example.com", "80", false},
        {"ex?mple.com", "example.com", "80", false},  // no mask characters in no_proxy
    };
    for (const Case& c : cases) {
        TProxyOverrideList list;
        list.Load(ProxyBypassFromNoProxy(c.noProxy));
        EXPECT_EQ(list.Matches(c.host, "http", c.port), c.direct)
            << "'" << c.noProxy << "' " << c.host << ":" << c.port;
    }
}

TEST(NoProxy, OnlyTheSystemChoiceReadsIt) {
    ::setenv("no_proxy", "intranet.test", 1);
    for (int type : {kConnectDirect, kConnectProxy, kConnectSystem}) {
        data::IniFile ini("");
        ini.WriteInteger(kSettingsSection, "ConnectType", type);
        const ConnectionSettings s = LoadConnectionSettings(ini, std::string("proxy.test:3128"));
        EXPECT_EQ(s.ProxyBypass.empty(), type != kConnectSystem) << type;
    }
    ::unsetenv("no_proxy");
}

}  // namespace
}  // namespace kv::http
