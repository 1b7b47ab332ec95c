// The command line of kelvane-cli.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/exportgrid.h"
#include "detect/keywordsources.h"

namespace kv::cli {

// A usage error: exit code 2 with the usage text.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class Command { Detect, Theme, Keywords, Help };

struct CliArguments {
    Command command = Command::Theme;
    std::string keyword;
    std::vector<std::string> engines;  // as given; empty: the engines with a query address
    int depth = 10;
    std::string folder;
    std::optional<std::string> pagesOf;  // --pages WORD
    std::optional<data::ExportFormat> format;
    std::string output;
    std::optional<detect::KeywordSources> sources;  // --sources; else the setting
    std::optional<std::string> keywordsFile;        // detect --keywords-file FILE ("-": stdin)
    bool skipCached = false;                        // detect --skip-cached
};

CliArguments ParseArguments(const std::vector<std::string>& args);

}  // namespace kv::cli
