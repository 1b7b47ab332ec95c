// HttpUnit's files: the settings it loads and saves (readable by the user only), and the
// credential store it opens and closes.
#include "http/httpunit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/support/tempdir.h"

namespace kv::http::testing {
namespace {

using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

TEST(HttpUnitTest, LoadsSetIniAndSavesItForTheUserOnly) {
    TempDir folder;
    WriteFileBytes(folder.File("set.ini"),
                   "[main]\nkeep=1\n[inet]\ntimeout=7\nConnectType=2\nProxy=gate.test\n"
                   "ProxyPort=3128\n");
    {
        HttpUnit unit(folder.path().string());
        EXPECT_EQ(unit.Settings().timeout, 7);
        EXPECT_EQ(unit.Settings().RetryConnect, 2);
        EXPECT_EQ(unit.Settings().Proxy, "gate.test");
        EXPECT_EQ(unit.Settings().ProxyPort, 3128);

        ConnectionSettings changed = unit.Settings();
        changed.Username = "u";
        changed.Password = "p";
        changed.timeout = 12;
        unit.SaveSettings(changed);
        EXPECT_EQ(unit.Settings().timeout, 12);
        EXPECT_EQ(ModeOf(folder.File("set.ini")), 0600u);

        unit.Settings().timeout = 99;  // in memory only
        unit.ReloadSettings();
        EXPECT_EQ(unit.Settings().timeout, 12);
        EXPECT_EQ(unit.Settings().Password, "p");
    }
    const std::string text = kv::testing::ReadFileBytes(folder.File("set.ini"));
    EXPECT_NE(text.find("keep=1"), std::string::npos);  // other sections stay
}

TEST(HttpUnitTest, MissingSetIniGivesDefaultsAndWritesNothing) {
    TempDir folder;
    {
        HttpUnit unit(folder.path().string());
        EXPECT_EQ(unit.Settings().timeout, 30);
        EXPECT_EQ(unit.Settings().ConnectType, kConnectSystem);
        EXPECT_FALSE(unit.Credentials().LookUp(401, "http://a.test/").has_value());
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("set.ini")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("kelvane.auth")));
}

TEST(HttpUnitTest, CredentialStoreIsOpenedFromTheProgramFolder) {
    TempDir folder;
    WriteFileBytes(folder.File("kelvane.auth"),
                   AuthStore::Scramble("[http://a.test/x]\r\nUser_401=ann\r\nPass_401=pw\r\n\r\n"));
    HttpUnit unit(folder.path().string());
    const auto found = unit.Credentials().LookUp(401, "http://a.test/x?q=1");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->userName, "ann");
    EXPECT_EQ(found->password, "pw");
}

}  // namespace
}  // namespace kv::http::testing
