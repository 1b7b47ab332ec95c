// The program folder: where set.ini, the table files, ua.lst and the manual are looked up.
#pragma once

#include <QStringList>
#include <string>

#include "detect/programfolder.h"

namespace kv::app {

// Where the running window program's files live, with "--folder" taken from the arguments;
// the user's XDG folders are created. Raises std::runtime_error as detect::OpenProgramFolders.
detect::ProgramFolders OpenProgramFolders(const QStringList& arguments);

}  // namespace kv::app
