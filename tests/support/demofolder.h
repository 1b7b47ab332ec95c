// A program folder for runs against the demo engine: the shipped engine definitions pointed at
// the demo engine's port, and a set.ini with the given [inet] lines.
#pragma once

#include <QtGlobal>
#include <filesystem>
#include <string>

namespace kv::testing {

// Raises std::runtime_error when the definitions cannot be copied or changed.
void PrepareDemoFolder(const std::filesystem::path& folder, quint16 port,
                       const std::string& inetLines);

}  // namespace kv::testing
