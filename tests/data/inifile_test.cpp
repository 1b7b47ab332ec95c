#include "data/inifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

using kv::testing::ReadFileBytes;
using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

TEST(IniFileTest, MissingFileReadsDefaults) {
    TempDir dir;
    IniFile ini(dir.File("set.ini"));
    EXPECT_EQ(ini.ReadString("inet", "UserAgent", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("inet", "timeout", 60), 60);
    EXPECT_TRUE(ini.ReadBool("inet", "UseAuth", true));
}

TEST(IniFileTest, SectionsAndKeysIgnoreCaseAndValuesStayAsWritten) {
    TempDir dir;
    WriteFileBytes(dir.File("set.ini"),
                   "; settings\r\n[Inet]\r\nUserAgent=Mozilla/5.0 (X11; Linux)  \r\n"
                   "  Proxy = proxy.example\r\nTimeout=abc\r\n[TMainForm]\r\nFlag=True\r\nN=1\r\n");
    IniFile ini(dir.File("set.ini"));
    EXPECT_EQ(ini.ReadString("INET", "useragent", ""), "Mozilla/5.0 (X11; Linux)  ");
    EXPECT_EQ(ini.ReadString("inet", "proxy", ""), " proxy.example");
    EXPECT_EQ(ini.ReadInteger("inet", "Timeout", 7), 7);  // not a number: default
    EXPECT_TRUE(ini.ReadBool("tmainform", "flag", false));
    EXPECT_TRUE(ini.ReadBool("tmainform", "N", false));
    EXPECT_FALSE(ini.Find("inet", "Flag").has_value());
}

TEST(IniFileTest, WritesKeepOtherLinesAndTheFilesLineEnds) {
    TempDir dir;
    const std::string original =
        "; settings\r\n[inet]\r\nProxy=a\r\nOther=keep\r\n\r\n[Foreign]\r\nx=1\r\n";
    WriteFileBytes(dir.File("set.ini"), original);
    IniFile ini(dir.File("set.ini"));
    ini.WriteString("INET", "proxy", "b");
    ini.WriteInteger("inet", "ProxyPort", 8080);
    ini.WriteBool("TMainForm", "TBXCheckBox1_Checked", false);
    ini.Save();
    EXPECT_EQ(ReadFileBytes(dir.File("set.ini")),
              "; settings\r\n[inet]\r\nProxy=b\r\nOther=keep\r\nProxyPort=8080\r\n\r\n"
              "[Foreign]\r\nx=1\r\n\r\n[TMainForm]\r\nTBXCheckBox1_Checked=False\r\n");
    IniFile again(dir.File("set.ini"));
    EXPECT_EQ(again.ReadInteger("inet", "ProxyPort", 0), 8080);
}

TEST(IniFileTest, NewFileIsWrittenWithTheRequestedModeAndFailuresKeepTheOldFile) {
    TempDir dir;
    IniFile ini(dir.File("set.ini"));
    ini.WriteString("inet", "Password", "secret");
    ini.Save(0600);
    struct stat st {};
    ASSERT_EQ(stat(dir.File("set.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFileBytes(dir.File("set.ini")), "[inet]\nPassword=secret\n");

    IniFile elsewhere(dir.File("missing/set.ini"));
    elsewhere.WriteString("a", "b", "c");
    EXPECT_THROW(elsewhere.Save(), IniError);
}

// A remembered keyword with a line break once wrote a line of its own: "[inet]" then took over
// the connection settings. Such a write is refused and nothing changes.
TEST(IniFileTest, ALineBreakNeverReachesTheFile) {
    TempDir dir;
    const std::string original = "[TMainForm]\nWord=shoes\n[inet]\nProxy=\n";
    WriteFileBytes(dir.File("set.ini"), original);
    IniFile ini(dir.File("set.ini"));
    for (const auto& [section, key, value] :
         {std::tuple{"TMainForm", "Word", "x\n[inet]\nProxy=evil.example"},
          std::tuple{"TMainForm", "Word", "x\rProxy=evil"}, std::tuple{"TMainForm", "W\nx", "1"},
          std::tuple{"A]\n[inet", "Proxy", "evil"}})
        EXPECT_THROW(ini.WriteString(section, key, value), IniError) << value;
    ini.Save();
    EXPECT_EQ(ReadFileBytes(dir.File("set.ini")), original);
    EXPECT_EQ(IniFile(dir.File("set.ini")).ReadString("inet", "Proxy", "?"), "");
}

}  // namespace
}  // namespace kv::data
