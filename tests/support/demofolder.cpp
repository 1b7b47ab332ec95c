#include "tests/support/demofolder.h"

#include <sqlite3.h>

#include <fstream>
#include <stdexcept>

namespace kv::testing {

void PrepareDemoFolder(const std::filesystem::path& folder, quint16 port,
                       const std::string& inetLines) {
    const std::filesystem::path se = folder / "SE.cds";
    std::filesystem::copy_file(std::string(KELVANE_TEST_BIN_DIR) + "/demo-engines/SE.cds", se,
                               std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    if (sqlite3_open(se.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot open " + se.string());
    const std::string to = "'127.0.0.1:" + std::to_string(port) + "'";
    std::string sql = "UPDATE SE SET";
    for (const char* field : {"PrepareSearchURL", "StartSearchURL", "NextSearchFirstPartUrl"}) {
        sql += std::string(sql.back() == 'T' ? " " : ", ") + field + " = replace(" + field +
               ", '127.0.0.1:8765', " + to + ")";
    }
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot point SE.cds at the demo engine");
    std::ofstream(folder / "set.ini") << "[inet]\n" << inetLines;
}

}  // namespace kv::testing
