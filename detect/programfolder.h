// The program folder, where all data and settings files are looked up: the folder named on
// the command line, else KELVANE_HOME, else the executable's folder; absolute, without a
// trailing separator.
#pragma once

#include <string>

namespace kv::detect {

std::string ResolveProgramFolder(const std::string& folderOption,
                                 const std::string& executableFolder);

// The same with the running program's folder (needs a QCoreApplication).
std::string ResolveProgramFolder(const std::string& folderOption);

}  // namespace kv::detect
