// `cmake --install` into a temporary DESTDIR: the files in place, the desktop files valid, the
// installed kelvane-cli keeping the user's files in the XDG folders, and the library usable
// by a C program through pkg-config.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>

#include "tests/install/installfixture.h"
#include "tests/support/demoprocess.h"

namespace kv::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLib = KELVANE_TEST_LIBDIR;
const std::string kSoName = std::string("libkelvaneparse.so.") + KELVANE_TEST_SOVERSION;

TEST(InstallTest, PutsEveryFileInPlaceAndLeavesTheDemoEngineOut) {
    const Installation inst;
    const std::string files[] = {"bin/kelvane",
                                 "bin/kelvane-cli",
                                 kLib + "/" + kSoName,
                                 kLib + "/libkelvaneparse.so",
                                 kLib + "/pkgconfig/kelvaneparse.pc",
                                 "include/kelvane/kelvaneparse.h",
                                 "share/kelvane/SE.cds",
                                 "share/kelvane/ua.lst",
                                 "share/kelvane/distribution.txt",
                                 "share/kelvane/manual/index.html",
                                 "share/applications/example.ostrel.Kelvane.desktop",
                                 "share/icons/hicolor/scalable/apps/kelvane.svg",
                                 "share/icons/hicolor/48x48/apps/kelvane.png",
                                 "share/icons/hicolor/128x128/apps/kelvane.png",
                                 "share/metainfo/example.ostrel.Kelvane.metainfo.xml",
                                 "share/man/man1/kelvane.1",
                                 "share/man/man1/kelvane-cli.1"};
    for (const std::string& f : files) EXPECT_TRUE(fs::exists(inst.Path(f))) << f;
    EXPECT_FALSE(fs::exists(inst.Path("bin/kelvane-demo-engine")));
    EXPECT_EQ(std::distance(fs::directory_iterator(inst.Path("bin")), fs::directory_iterator()), 2);

    // The development link and the SONAME name the major version.
    EXPECT_TRUE(fs::is_symlink(inst.Path(kLib + "/libkelvaneparse.so")));
    const Outcome elf =
        RunProgram("readelf", {"-d", QString::fromStdString(inst.Path(kLib + "/" + kSoName))});
    EXPECT_NE(elf.out.find("Library soname: [" + kSoName + "]"), std::string::npos) << elf.out;

    // The pkg-config file names the prefix it was installed for.
    const std::string pc = ReadFileBytes(inst.Path(kLib + "/pkgconfig/kelvaneparse.pc"));
    EXPECT_NE(pc.find("prefix=/opt/kelvane\n"), std::string::npos) << pc;
    EXPECT_NE(pc.find(std::string("Version: ") + KELVANE_TEST_VERSION), std::string::npos) << pc;
}

TEST(InstallTest, TheDesktopEntryMetainfoIconsAndManPagesPassTheirChecks) {
    const Installation inst;
    const Outcome desktop = RunProgram(
        "desktop-file-validate",
        {QString::fromStdString(inst.Path("share/applications/example.ostrel.Kelvane.desktop"))});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out, "");

    const Outcome meta = RunProgram(
        "appstreamcli",
        {"validate", "--no-net",
         QString::fromStdString(inst.Path("share/metainfo/example.ostrel.Kelvane.metainfo.xml"))});
    EXPECT_EQ(meta.exitCode, 0) << meta.out << meta.err;
    const std::string metainfo =
        ReadFileBytes(inst.Path("share/metainfo/example.ostrel.Kelvane.metainfo.xml"));
    EXPECT_NE(metainfo.find(std::string("<release version=\"") + KELVANE_TEST_VERSION),
              std::string::npos);

    // The manual pages render without a warning.
    QProcessEnvironment manEnv = QProcessEnvironment::systemEnvironment();
    manEnv.insert("MANWIDTH", "80");
    for (const char* page : {"kelvane.1", "kelvane-cli.1"}) {
        const Outcome man = RunProgram(
            "man",
            {"--warnings", "-l", QString::fromStdString(inst.Path("share/man/man1/") + page)},
            manEnv);
        EXPECT_EQ(man.exitCode, 0) << page;
        EXPECT_EQ(man.err, "") << page;
        EXPECT_NE(man.out.find(KELVANE_TEST_VERSION), std::string::npos) << page;
    }

    for (const char* size : {"48", "128"}) {
        const std::string icon = inst.Path(std::string("share/icons/hicolor/") + size + "x" + size +
                                           "/apps/kelvane.png");
        const Outcome file = RunProgram("file", {"-b", QString::fromStdString(icon)});
        EXPECT_EQ(file.out.rfind(std::string("PNG image data, ") + size + " x " + size, 0), 0u)
            << file.out;
    }
}

TEST(InstallTest, TheInstalledCliKeepsTheUsersFilesInTheXdgFolders) {
    const Installation inst;
    TempDir home;
    const std::string config = home.File("config/kelvane"), data = home.File("data/kelvane");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("KELVANE_HOME");
    env.insert("HOME", QString::fromStdString(home.path().string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(home.File("config")));
    env.insert("XDG_DATA_HOME", QString::fromStdString(home.File("data")));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.File("run")));
    const QString cli = QString::fromStdString(inst.Path("bin/kelvane-cli"));
    const auto before = Snapshot(inst.DestDir());

    // First start: the user's folders are made private; the shipped definitions load.
    const Outcome first = RunProgram(cli, {"keywords"}, env);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "");
    for (const std::string& folder : {config, data}) {
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }

    std::string detected;
    {
        DemoEngine engine;
        // The user's own engine definitions, as `engines import` writes them.
        PointEnginesAt(std::string(KELVANE_TEST_BIN_DIR) + "/demo-engines/SE.cds", data + "/SE.cds",
                       engine.Port());
        WriteFileBytes(config + "/set.ini", "[inet]\nConnectType=1\ntimeout=5\nRetryConnect=0\n");
        const Outcome run = RunProgram(cli, {"detect", "red shoes", "--engines", "Google"}, env);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        detected = run.out;
        EXPECT_EQ(detected.rfind("Keyword\tCount\n", 0), 0u) << detected;
        EXPECT_NE(detected.find("\nred shoes\t"), std::string::npos) << detected;
    }
    EXPECT_TRUE(fs::exists(data + "/Word.cds"));
    EXPECT_TRUE(fs::exists(data + "/SECache.cds"));
    EXPECT_FALSE(fs::exists(config + "/Word.cds"));

    // A second run reads them back, without the engine.
    const Outcome theme = RunProgram(cli, {"theme", "red shoes", "--engines", "Google"}, env);
    ASSERT_EQ(theme.exitCode, 0) << theme.err;
    EXPECT_EQ(theme.out, detected);
    const Outcome words = RunProgram(cli, {"keywords"}, env);
    EXPECT_EQ(words.out, "red shoes\n");

    EXPECT_EQ(Snapshot(inst.DestDir()), before) << "written under the prefix";

    // The version the about box shows (its text is the build's four-part version).
    EXPECT_EQ(RunProgram(cli, {"--version"}, env).out,
              std::string("kelvane-cli ") + KELVANE_TEST_VERSION + "\n");
}

TEST(InstallTest, TheInstalledWindowKeepsItsSingleInstanceLockInTheRuntimeFolder) {
    const Installation inst;
    TempDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("KELVANE_HOME");
    env.insert("HOME", QString::fromStdString(home.path().string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.path().string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString window = QString::fromStdString(inst.Path("bin/kelvane"));
    const std::string lock =
        home.File("{7F0E5EF3-53A9-4B34-A3C2-BABCDADD9BCC}-" + std::to_string(getuid()) + ".lock");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(window, {});
    for (int i = 0; i < 200 && !fs::exists(lock); ++i) first.waitForFinished(100);
    EXPECT_TRUE(fs::exists(lock));
    EXPECT_TRUE(fs::is_directory(home.File(".config/kelvane")));
    EXPECT_TRUE(fs::is_directory(home.File(".local/share/kelvane")));

    const Outcome second = RunProgram(window, {}, env, 30000);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

TEST(InstallTest, ACProgramBuildsWithPkgConfigAgainstTheInstalledLibrary) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a plain C program cannot load a library built with AddressSanitizer";
#endif
    const Installation inst;
    TempDir work;
    WriteFileBytes(work.File("client.c"),
                   "#include <stdio.h>\n#include <kelvane/kelvaneparse.h>\n"
                   "int main(void) {\n"
                   "  char* url = PrepareUrlOrBody(\"red shoes\", \"http://e.example/?q=@@@\");\n"
                   "  if (!url) return 1;\n  printf(\"%s\\n\", url);\n  KvFree(url);\n"
                   "  return 0;\n}\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PKG_CONFIG_PATH", QString::fromStdString(inst.Path(kLib + "/pkgconfig")));
    env.insert("PKG_CONFIG_SYSROOT_DIR", QString::fromStdString(inst.DestDir()));
    const QString build = QString::fromStdString("cc -Wall -Werror -o " + work.File("client") +
                                                 " " + work.File("client.c") +
                                                 " $(pkg-config --cflags --libs kelvaneparse)");
    const Outcome compiled = RunProgram("sh", {"-c", build}, env);
    ASSERT_EQ(compiled.exitCode, 0) << compiled.out << compiled.err;

    // Found at run time by its SONAME.
    env.insert("LD_LIBRARY_PATH", QString::fromStdString(inst.Path(kLib)));
    const Outcome ran = RunProgram(QString::fromStdString(work.File("client")), {}, env);
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out, "http://e.example/?q=red+shoes\n");
}

}  // namespace
}  // namespace kv::testing
