// Both designed grids in every format against golden files. With KV_UPDATE_GOLDEN=1 the
// files are rewritten instead; review the difference before committing it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"
#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

class ExportGoldenTest : public ::testing::TestWithParam<ExportFormat> {
  protected:
    void CheckGolden(const std::string& base, const std::string& bytes) {
        const std::string path =
            testing::GoldenDir() + "/" + base + "." + std::string(ExportExtension(GetParam()));
        if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) {
            kv::testing::WriteFileBytes(path, bytes);
            return;
        }
        const std::string golden = kv::testing::ReadFileBytes(path);
        EXPECT_EQ(bytes, golden) << "differs from " << path;
    }
};

TEST_P(ExportGoldenTest, FrequencyGridWithFooter) {
    CheckGolden("frequency", ExportGridBytes(GetParam(), DesignedFrequencyGrid("5"),
                                             testing::SampleFrequencyRows()));
}

TEST_P(ExportGoldenTest, PagesGridWithoutFooter) {
    CheckGolden("pages",
                ExportGridBytes(GetParam(), DesignedPagesGrid(), testing::SamplePageRows()));
}

TEST_P(ExportGoldenTest, FileHoldsExactlyTheBytes) {
    kv::testing::TempDir dir;
    const std::string path = dir.File("grid");
    ExportGridToFile(GetParam(), DesignedPagesGrid(), testing::SamplePageRows(), path);
    EXPECT_EQ(kv::testing::ReadFileBytes(path),
              ExportGridBytes(GetParam(), DesignedPagesGrid(), testing::SamplePageRows()));
}

INSTANTIATE_TEST_SUITE_P(AllFormats, ExportGoldenTest,
                         ::testing::Values(ExportFormat::Text, ExportFormat::Csv,
                                           ExportFormat::Html, ExportFormat::Rtf,
                                           ExportFormat::Workbook),
                         [](const auto& info) { return std::string(ExportExtension(info.param)); });

}  // namespace
}  // namespace kv::data
