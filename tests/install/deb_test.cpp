// The Debian package of `make package`: its name, file list and declared dependencies, and an
// install and removal with dpkg into a scratch root (never the system's).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/install/installfixture.h"

namespace kv::testing {
namespace {

namespace fs = std::filesystem;

std::string DpkgField(const std::string& deb, const char* field) {
    return RunProgram("dpkg-deb", {"--field", QString::fromStdString(deb), field}).out;
}

// A root with an empty dpkg database, a shell and ldconfig: maintainer scripts run chrooted.
void MakeScratchRoot(const std::string& root) {
    fs::create_directories(root + "/var/lib/dpkg/info");
    fs::create_directories(root + "/var/lib/dpkg/updates");
    fs::create_directories(root + "/etc");  // ld.so.cache
    WriteFileBytes(root + "/var/lib/dpkg/status", "");
    const std::pair<const char*, const char*> copies[] = {
        {"/bin/dash", "/bin/sh"},
        {"/sbin/ldconfig", "/sbin/ldconfig"},  // statically linked
        {"/lib/x86_64-linux-gnu/libc.so.6", "/lib/x86_64-linux-gnu/libc.so.6"},
        {"/lib64/ld-linux-x86-64.so.2", "/lib64/ld-linux-x86-64.so.2"}};
    for (const auto& [from, to] : copies) {
        fs::create_directories(fs::path(root + to).parent_path());
        fs::copy_file(fs::canonical(from), root + to);
        fs::permissions(root + to, fs::perms::owner_all | fs::perms::group_exec |
                                       fs::perms::others_exec | fs::perms::group_read |
                                       fs::perms::others_read);
    }
}

TEST(DebTest, PackageListsItsFilesAndDependenciesAndInstallsAndRemovesCleanly) {
    TempDir work;
    const Outcome pack =
        RunProgram(KELVANE_TEST_CPACK,
                   {"-G", "DEB", "--config", QString(KELVANE_TEST_BUILD_DIR) + "/CPackConfig.cmake",
                    "-B", QString::fromStdString(work.File("out"))},
                   QProcessEnvironment::systemEnvironment(), 300000);
    ASSERT_EQ(pack.exitCode, 0) << pack.out << pack.err;
    const std::string deb =
        work.File(std::string("out/kelvane_") + KELVANE_TEST_VERSION + "_amd64.deb");
    ASSERT_TRUE(fs::exists(deb)) << pack.out;

    EXPECT_EQ(DpkgField(deb, "Package"), "kelvane\n");
    EXPECT_EQ(DpkgField(deb, "Version"), std::string(KELVANE_TEST_VERSION) + "\n");
    // From the binaries (dpkg-shlibdeps), plus the platform plugins loaded at run time.
    const std::string depends = DpkgField(deb, "Depends");
    for (const char* package : {"libc6", "libqt6core6", "libqt6widgets6", "libqt6network6",
                                "libsqlite3-0", "libicu", "qt6-qpa-plugins"})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;

    const std::string listing =
        RunProgram("dpkg-deb", {"--contents", QString::fromStdString(deb)}).out;
    const std::string lib = std::string("./usr/") + KELVANE_TEST_LIBDIR + "/";
    const std::string expected[] = {"./usr/bin/kelvane",
                                    "./usr/bin/kelvane-cli",
                                    lib + "libkelvaneparse.so." + KELVANE_TEST_SOVERSION + " ->",
                                    lib + "pkgconfig/kelvaneparse.pc",
                                    "./usr/include/kelvane/kelvaneparse.h",
                                    "./usr/share/kelvane/SE.cds",
                                    "./usr/share/applications/example.ostrel.Kelvane.desktop",
                                    "./usr/share/icons/hicolor/48x48/apps/kelvane.png",
                                    "./usr/share/metainfo/example.ostrel.Kelvane.metainfo.xml",
                                    "./usr/share/man/man1/kelvane-cli.1"};
    for (const std::string& path : expected)
        EXPECT_NE(listing.find(path), std::string::npos) << path << " in\n" << listing;
    EXPECT_EQ(listing.find("demo-engine"), std::string::npos);

    // apt would install it on this machine, whose packages are those of the build: its
    // dependencies resolve (a simulation, nothing is installed).
    const Outcome apt = RunProgram("apt-get", {"--simulate", "--no-install-recommends", "install",
                                               QString::fromStdString(deb)});
    EXPECT_EQ(apt.exitCode, 0) << apt.out << apt.err;
    EXPECT_NE(apt.out.find("Inst kelvane ("), std::string::npos) << apt.out;

    if (::geteuid() != 0) GTEST_SKIP() << "dpkg and its chrooted scripts need root";
    // dpkg into a scratch root: its own database, none of the system's packages (hence
    // --force-depends), and just enough for the package's ldconfig scripts to run inside it.
    const std::string root = work.File("root");
    MakeScratchRoot(root);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", "/usr/sbin:/usr/bin:/sbin:/bin");
    const QString rootArg = QString::fromStdString("--root=" + root);
    const Outcome install = RunProgram(
        "dpkg", {rootArg, "--force-depends", "--install", QString::fromStdString(deb)}, env);
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    EXPECT_TRUE(fs::exists(root + "/usr/bin/kelvane-cli"));
    const std::string pc =
        ReadFileBytes(root + "/usr/" + KELVANE_TEST_LIBDIR + "/pkgconfig/kelvaneparse.pc");
    EXPECT_NE(pc.find("prefix=/usr\n"), std::string::npos) << pc;

    const Outcome remove =
        RunProgram("dpkg", {rootArg, "--force-depends", "--purge", "kelvane"}, env);
    ASSERT_EQ(remove.exitCode, 0) << remove.out << remove.err;
    // Every file and folder of the package is gone, /usr with them.
    EXPECT_FALSE(fs::exists(root + "/usr"));
}

}  // namespace
}  // namespace kv::testing
