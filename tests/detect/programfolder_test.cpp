// Where the files live: portable, named and installed layouts, and the user's folders.
#include "detect/programfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/tempdir.h"

namespace kv::detect {
namespace {

namespace fs = std::filesystem;
using kv::testing::TempDir;

struct Case {
    const char* name;
    const char* exe;  // below the temporary folder: "portable/bin" or "usr/bin"
    const char* option;
    FolderEnvironment env;
    // Expected; "@" stands for the temporary folder.
    const char* settings;
    const char* data;
    const char* shipped;
    const char* runtime;
    const char* exports;
    bool xdg;
};

const FolderEnvironment kXdg{"", "/h", "/c", "/d", "/r", "/t"};
const FolderEnvironment kBare{"", "/h", "", "", "", "/t"};

std::string Expand(const std::string& text, const std::string& root) {
    return text.rfind('@', 0) == 0 ? root + text.substr(1) : text;
}

TEST(ProgramFolders, LayoutByPrefixOptionAndEnvironment) {
    TempDir root;
    fs::create_directories(root.path() / "portable/bin");
    fs::create_directories(root.path() / "usr/bin");
    fs::create_directories(root.path() / "usr/share/kelvane");
    FolderEnvironment home = kXdg;
    home.kelvaneHome = "/k";
    FolderEnvironment relative = kXdg;
    relative.xdgConfigHome = "config";
    relative.xdgRuntimeDir = "run";

    const Case cases[] = {
        {"portable", "portable/bin", "", kXdg, "@/portable/bin", "@/portable/bin", "@/portable/bin",
         "/t", "", false},
        {"portable named", "portable/bin", "/x/", kXdg, "/x", "/x", "/x", "/t", "", false},
        {"portable KELVANE_HOME", "portable/bin", "", home, "/k", "/k", "/k", "/t", "", false},
        {"option beats KELVANE_HOME", "portable/bin", "/x", home, "/x", "/x", "/x", "/t", "",
         false},
        {"installed", "usr/bin", "", kXdg, "/c/kelvane", "/d/kelvane", "@/usr/share/kelvane", "/r",
         "/d/kelvane", true},
        {"installed, XDG unset", "usr/bin", "", kBare, "/h/.config/kelvane",
         "/h/.local/share/kelvane", "@/usr/share/kelvane", "/t", "/h/.local/share/kelvane", true},
        {"installed, relative XDG ignored", "usr/bin", "", relative, "/h/.config/kelvane",
         "/d/kelvane", "@/usr/share/kelvane", "/t", "/d/kelvane", true},
        {"installed named", "usr/bin", "/x", kXdg, "/x", "/x", "@/usr/share/kelvane", "/r", "",
         false},
        {"installed KELVANE_HOME", "usr/bin", "", home, "/k", "/k", "@/usr/share/kelvane", "/r", "",
         false},
    };
    const std::string r = root.path().string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramFolders f = ResolveProgramFolders(c.option, r + "/" + c.exe, c.env);
        EXPECT_EQ(f.settings, Expand(c.settings, r));
        EXPECT_EQ(f.data, Expand(c.data, r));
        EXPECT_EQ(f.shipped, Expand(c.shipped, r));
        EXPECT_EQ(f.runtime, Expand(c.runtime, r));
        EXPECT_EQ(f.exports, Expand(c.exports, r));
        EXPECT_EQ(f.xdg, c.xdg);
        EXPECT_EQ(f.SettingsFile(), Expand(c.settings, r) + "/set.ini");
    }
}

TEST(ProgramFolders, AReadOnlyExecutableFolderCountsAsInstalled) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    TempDir root;
    fs::create_directories(root.path() / "opt/bin");
    fs::permissions(root.path() / "opt/bin", fs::perms::owner_read | fs::perms::owner_exec);
    const ProgramFolders f = ResolveProgramFolders("", root.File("opt/bin"), kXdg);
    EXPECT_TRUE(f.xdg);
    EXPECT_EQ(f.data, "/d/kelvane");
    EXPECT_EQ(f.shipped, root.File("opt/bin"));  // no share/kelvane: shipped files beside it
}

TEST(ProgramFolders, TheUsersEngineDefinitionsWinOverTheShippedOnes) {
    TempDir root;
    ProgramFolders f;
    f.data = root.File("data");
    f.shipped = root.File("share");
    EXPECT_EQ(f.EngineFile(), root.File("share/SE.cds"));
    EXPECT_EQ(f.UserEngineFile(), root.File("data/SE.cds"));
    fs::create_directories(f.data);
    kv::testing::WriteFileBytes(f.UserEngineFile(), "");
    EXPECT_EQ(f.EngineFile(), root.File("data/SE.cds"));
}

TEST(ProgramFolders, UserFoldersAreCreatedPrivateAndAFailureIsReported) {
    TempDir root;
    ProgramFolders f;
    f.xdg = true;
    f.settings = root.File("config/kelvane");
    f.data = root.File("share/deep/kelvane");
    CreateUserFolders(f);
    for (const std::string& folder : {f.settings, root.File("share/deep"), f.data}) {
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    CreateUserFolders(f);  // existing folders are fine

    kv::testing::WriteFileBytes(root.File("blocked"), "a file where a folder should be");
    f.data = root.File("blocked/kelvane");
    try {
        CreateUserFolders(f);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create folder " + f.data);
    }

    // Portable and named layouts create nothing.
    ProgramFolders portable = PortableFolders(root.File("absent"), root.File("tmp"));
    CreateUserFolders(portable);
    EXPECT_FALSE(fs::exists(root.File("absent")));
}

}  // namespace
}  // namespace kv::detect
