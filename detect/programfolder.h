// The program folder, where all data and settings files are looked up: the folder named on
// the command line, else KELVANE_HOME, else the executable's folder.
#pragma once

#include <string>

namespace kv::detect {

// Needs a QCoreApplication for the executable's folder.
std::string ResolveProgramFolder(const std::string& folderOption);

}  // namespace kv::detect
