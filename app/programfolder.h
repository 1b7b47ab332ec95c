// The program folder: where set.ini, the table files, ua.lst and the manual are looked up.
#pragma once

#include <QStringList>
#include <string>

namespace kv::app {

// "--folder DIR" (or "--folder=DIR") among the arguments, then the rule of
// detect::ResolveProgramFolder (KELVANE_HOME, else the executable's folder).
std::string ProgramFolder(const QStringList& arguments, const QString& executableFolder);

}  // namespace kv::app
