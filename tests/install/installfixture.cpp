#include "tests/install/installfixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QProcess>
#include <filesystem>
#include <stdexcept>

namespace kv::testing {

namespace fs = std::filesystem;

Outcome RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                   int timeoutMs) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Outcome o;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        o.exitCode = p.exitCode();
    }
    o.out = p.readAllStandardOutput().toStdString();
    o.err = p.readAllStandardError().toStdString();
    if (o.exitCode == -1) o.err += p.errorString().toStdString();
    return o;
}

Installation::Installation(const std::string& prefix) : root_(DestDir() + prefix) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DESTDIR", QString::fromStdString(DestDir()));
    const Outcome o = RunProgram(
        KELVANE_TEST_CMAKE,
        {"--install", KELVANE_TEST_BUILD_DIR, "--prefix", QString::fromStdString(prefix)}, env);
    if (o.exitCode != 0) throw std::runtime_error("cmake --install failed: " + o.out + o.err);
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto status = entry.symlink_status();
        std::string facts = std::to_string(static_cast<int>(status.type()));
        if (fs::is_regular_file(status))
            facts += " " + std::to_string(entry.file_size()) + " " +
                     std::to_string(entry.last_write_time().time_since_epoch().count());
        files[entry.path().string()] = facts;
    }
    return files;
}

void PointEnginesAt(const std::string& from, const std::string& to, unsigned port) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(to.c_str(), &db), SQLITE_OK);
    std::string sql = "UPDATE SE SET ";
    const char* fields[] = {"PrepareSearchURL", "StartSearchURL", "NextSearchFirstPartUrl"};
    for (const char* f : fields)
        sql += std::string(f) + " = replace(" + f +
               ", '127.0.0.1:8765', '127.0.0.1:" + std::to_string(port) + "'),";
    sql.pop_back();
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

}  // namespace kv::testing
