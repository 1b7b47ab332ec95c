// Real readers accept the exported files: Python's CSV reader reads the ";"-separated
// values, and LibreOffice converts the workbook, HTML and Rich Text files back to cell texts.
// Skipped where python3 or soffice is not installed.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <memory>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"
#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

using Table = std::vector<std::vector<std::string>>;

// Generous: a first LibreOffice start builds its profile; a hang still ends the test.
constexpr int kConversionTimeoutMs = 120000;

const Table kFrequencyCells = {{"Keyword", "Count"},
                               {"seo", "5"},
                               {"say \"hi\" & <b>", "3"},
                               {"{brace} back\\slash", "2"},
                               {"Grüße €5", "1"},
                               {"", "1"},
                               {"Total:", "5"}};
const Table kPageCells = {
    {"Rank", "Web page", "META Keywords", "Sources"},
    {"1", "http://a.example/?q=1&x=<2>", "seo; \"web\" design, {x}\\y", "meta,news,tags,data"},
    {"2", "", "", ""},
    {"3", "http://b.example/", "Ключ, seo, 😀", "tags"}};

std::string RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kConversionTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput().toStdString();
}

std::string Trimmed(std::string s) {
    // LibreOffice reads "&nbsp" as a blank, plain or no-break.
    for (const std::string blank : {" ", "\u00a0"}) {
        while (s.starts_with(blank)) s.erase(0, blank.size());
        while (s.ends_with(blank)) s.erase(s.size() - blank.size());
    }
    return s;
}

// The files in order, each read by the standard reader in one run of it.
std::vector<Table> ReadCsv(const std::vector<std::string>& paths) {
    QStringList arguments = {QString(KV_EXPORT_TEST_DIR) + "/read_csv.py"};
    for (const auto& path : paths) arguments << QString::fromStdString(path);
    const std::string json = RunProgram(QStandardPaths::findExecutable("python3"), arguments);
    std::vector<Table> tables;
    for (const auto& file : QJsonDocument::fromJson(QByteArray::fromStdString(json)).array()) {
        Table& table = tables.emplace_back();
        for (const auto& row : file.toArray()) {
            table.emplace_back();
            for (const auto& cell : row.toArray())
                table.back().push_back(Trimmed(cell.toString().toStdString()));
        }
    }
    return tables;
}

std::vector<std::string> Lines(std::string text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    for (auto& line : lines)
        if (line.ends_with('\r')) line.pop_back();
    return lines;
}

std::vector<std::string> Flattened(const Table& table) {
    std::vector<std::string> cells;
    for (const auto& row : table) cells.insert(cells.end(), row.begin(), row.end());
    return cells;
}

void WriteSamples(ExportFormat format, const std::string& dir) {
    const std::string extension(ExportExtension(format));
    ExportGridToFile(format, DesignedFrequencyGrid("5"), testing::SampleFrequencyRows(),
                     dir + "/frequency." + extension);
    ExportGridToFile(format, DesignedPagesGrid(), testing::SamplePageRows(),
                     dir + "/pages." + extension);
}

TEST(ExportReaderTest, StandardCsvReaderReadsSemicolonSeparatedValues) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        GTEST_SKIP() << "python3 is not installed, so there is no standard CSV reader to ask";
    kv::testing::TempDir dir;
    WriteSamples(ExportFormat::Csv, dir.path().string());
    EXPECT_EQ(ReadCsv({dir.File("frequency.csv"), dir.File("pages.csv")}),
              (std::vector<Table>{kFrequencyCells, kPageCells}));
}

// LibreOffice converts the two sample files of a format once per test program, on first
// use: each start of it takes seconds.
class ExportLibreOfficeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("soffice").isEmpty())
            GTEST_SKIP() << "LibreOffice is not installed (Debian: libreoffice-calc-nogui, "
                            "libreoffice-writer-nogui)";
        if (QStandardPaths::findExecutable("python3").isEmpty())
            GTEST_SKIP() << "python3 is not installed, so the converted files cannot be read";
    }
    static void TearDownTestSuite() { dir_.reset(); }

    // The converted file `name` of the format: CSV from Calc, or plain text from Writer.
    static std::string Converted(ExportFormat format, const std::string& name) {
        if (!dir_) dir_ = std::make_unique<kv::testing::TempDir>();
        const std::string root = dir_->path().string();
        const std::string extension(ExportExtension(format));
        const std::string in = root + "/" + extension;
        if (!std::filesystem::exists(in)) {
            std::filesystem::create_directories(in + "/out");
            WriteSamples(format, in);
            QStringList arguments = {
                QString::fromStdString("-env:UserInstallation=file://" + root + "/profile"),
                "--headless"};
            if (format == ExportFormat::Html) arguments << "--infilter=HTML (StarCalc)";
            // ";"-separated, UTF-8: the byte-order mark must not end up in the first cell.
            if (format == ExportFormat::Csv)
                arguments << "--infilter=Text - txt - csv (StarCalc):59,34,76";
            // Calc's CSV: ";" separated, UTF-8, text cells quoted and numbers not.
            arguments << "--convert-to"
                      << (format == ExportFormat::Rtf
                              ? "txt:Text (encoded):UTF8"
                              : "csv:Text - txt - csv (StarCalc):59,34,76,1,,0,true")
                      << "--outdir" << QString::fromStdString(in + "/out");
            for (const char* base : {"/frequency.", "/pages."})
                arguments << QString::fromStdString(in + base + extension);
            RunProgram(QStandardPaths::findExecutable("soffice"), arguments);
        }
        return in + "/out/" + name;
    }

    static inline std::unique_ptr<kv::testing::TempDir> dir_;
};

TEST_F(ExportLibreOfficeTest, WorkbookCellsComeBackWithNumbersAsNumbers) {
    EXPECT_EQ(ReadCsv({Converted(ExportFormat::Workbook, "frequency.csv"),
                       Converted(ExportFormat::Workbook, "pages.csv")}),
              (std::vector<Table>{kFrequencyCells, kPageCells}));
    // Text cells are quoted in LibreOffice's output, numbers are not.
    const auto lines =
        Lines(kv::testing::ReadFileBytes(Converted(ExportFormat::Workbook, "frequency.csv")));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "\"seo\";5");
    EXPECT_EQ(lines[6], "\"Total:\";\"5\"");
}

TEST_F(ExportLibreOfficeTest, CsvCellsComeBackWithTheByteOrderMarkTakenAsSuch) {
    EXPECT_EQ(ReadCsv({Converted(ExportFormat::Csv, "frequency.csv"),
                       Converted(ExportFormat::Csv, "pages.csv")}),
              (std::vector<Table>{kFrequencyCells, kPageCells}));
}

TEST_F(ExportLibreOfficeTest, HtmlTableCellsComeBack) {
    EXPECT_EQ(ReadCsv({Converted(ExportFormat::Html, "frequency.csv"),
                       Converted(ExportFormat::Html, "pages.csv")}),
              (std::vector<Table>{kFrequencyCells, kPageCells}));
}

TEST_F(ExportLibreOfficeTest, RichTextCellsComeBackOnePerLine) {
    for (const auto& [name, cells] :
         {std::pair{"frequency.txt", kFrequencyCells}, std::pair{"pages.txt", kPageCells}}) {
        auto lines = Lines(kv::testing::ReadFileBytes(Converted(ExportFormat::Rtf, name)));
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        EXPECT_EQ(lines, Flattened(cells)) << name;
    }
}

}  // namespace
}  // namespace kv::data
