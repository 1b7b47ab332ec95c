// The Python examples of docs/python-ctypes.md, run against the built library: each "python"
// block must print what the "text" block after it shows.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/capi/capi_library.h"
#include "tests/support/tempdir.h"

namespace kv::testing {
namespace {

constexpr const char* kPythonPage = KELVANE_TEST_SOURCE_DIR "/docs/python-ctypes.md";
constexpr std::string_view kLibraryInPage = "build/bin/libkelvaneparse.so";
// A stuck interpreter ends the test instead of hanging it.
constexpr int kPythonTimeoutMs = 60000;

struct Example {
    std::string code;
    std::string output;
};

// The body of the next fenced block of the given kind at or after pos; pos moves past it.
bool NextBlock(const std::string& page, const std::string& kind, std::size_t& pos,
               std::string& body) {
    const std::string fence = "```" + kind + "\n";
    const std::size_t start = page.find(fence, pos);
    if (start == std::string::npos) return false;
    const std::size_t end = page.find("```", start + fence.size());
    if (end == std::string::npos) return false;
    body = page.substr(start + fence.size(), end - start - fence.size());
    pos = end + 3;
    return true;
}

std::vector<Example> ExamplesOf(const std::string& page) {
    std::vector<Example> examples;
    std::size_t pos = 0;
    Example example;
    while (NextBlock(page, "python", pos, example.code) &&
           NextBlock(page, "text", pos, example.output))
        examples.push_back(example);
    return examples;
}

std::string WithLibraryPath(std::string code) {
    const std::size_t at = code.find(kLibraryInPage);
    if (at != std::string::npos) code.replace(at, kLibraryInPage.size(), kKelvaneParsePath);
    return code;
}

TEST(CapiPythonTest, DocumentedExamplesPrintWhatThePageShows) {
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "python3 cannot load a library built with AddressSanitizer";
#endif

    const std::vector<Example> examples = ExamplesOf(ReadFileBytes(kPythonPage));
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(std::count(examples[0].code.begin(), examples[0].code.end(), '\n'), 5)
        << "the first example is the five-line one";
    for (const Example& example : examples) {
        QProcess process;
        process.start(python, {"-c", QString::fromStdString(WithLibraryPath(example.code))});
        ASSERT_TRUE(process.waitForFinished(kPythonTimeoutMs)) << example.code;
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        EXPECT_EQ(process.readAllStandardOutput().toStdString(), example.output) << example.code;
    }
}

}  // namespace
}  // namespace kv::testing
