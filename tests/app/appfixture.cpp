#include "tests/app/appfixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "data/tablefields.h"
#include "data/tables.h"

namespace kv::app::testing {

ProgramFolder::ProgramFolder() {
    const std::filesystem::path bin(KELVANE_TEST_BIN_DIR);
    std::filesystem::copy_file(bin / "demo-engines" / "SE.cds", dir_.path() / "SE.cds");
    std::filesystem::copy_file(bin / "ua.lst", dir_.path() / "ua.lst");
}

void ProgramFolder::WriteTables(const std::vector<std::string>& words,
                                const std::vector<CacheRow>& rows) {
    data::DataTables tables;
    data::Table& history = tables.WordClientDataSet;
    for (const auto& word : words) {
        history.Append();
        history.SetString(data::word_fields::Word, word);
        history.Post();
    }
    data::Table& cache = tables.SECacheClientDataSet;
    namespace f = data::secache_fields;
    for (const auto& row : rows) {
        ASSERT_TRUE(history.Locate(data::word_fields::Word, row.word)) << row.word;
        cache.Append();
        cache.SetString(f::SEName, row.engine);
        cache.SetInteger(f::Rank, row.rank);
        cache.SetString(f::Url, row.url);
        cache.SetString(f::Keywords, row.keywords);
        cache.Post();
    }
    tables.SaveFiles(Path());
}

void OnNextModal(std::function<void(QWidget*)> work, QWidget* except) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, work = std::move(work), except] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == except) return;
        timer->stop();
        timer->deleteLater();
        work(modal);
    });
    timer->start(5);
}

std::string NumberedKeywords(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        if (!text.empty()) text += ",";
        text += (i < 10 ? "kw0" : "kw") + std::to_string(i);
    }
    return text;
}

}  // namespace kv::app::testing
