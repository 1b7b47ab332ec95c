// Where the program's files live. Every path decision of the program is made here.
//
// Portable: one program folder holds everything: the executable's folder, or the folder named
// by --folder (else KELVANE_HOME), which always wins.
// Installed: the executable sits in a prefix (share/kelvane beside its folder, or its folder
// not writable). The user's files live in the XDG folders, the files shipped with the program
// are read from <prefix>/share/kelvane, and the single-instance lock lies in XDG_RUNTIME_DIR.
// Tests: tests/detect/programfolder_test.cpp, tests/install/.
#pragma once

#include <string>

namespace kv::detect {

struct ProgramFolders {
    std::string settings;  // "set.ini"
    std::string data;      // "Word.cds", "SECache.cds", the credential store, the user's "SE.cds"
    std::string shipped;   // read-only: "SE.cds", "ua.lst", the manual, the distribution terms
    std::string runtime;   // the single-instance lock
    std::string exports;   // where the save dialog starts; empty: the current folder
    // The user's folders are the XDG ones, created (0700) at start when missing.
    bool xdg = false;

    std::string SettingsFile() const;
    // The user's copy of the engine definitions when there is one, else the shipped one.
    std::string EngineFile() const;
    // Where the user's copy of the engine definitions goes (engines import).
    std::string UserEngineFile() const;
    std::string ShippedFile(const std::string& name) const;
};

// Everything in one folder; the lock in the temporary folder.
ProgramFolders PortableFolders(const std::string& folder, const std::string& tempFolder);

// The environment the rule reads; FromProcess() takes it from the running process.
struct FolderEnvironment {
    std::string kelvaneHome;    // KELVANE_HOME
    std::string home;           // HOME (the account's home folder when unset)
    std::string xdgConfigHome;  // XDG_CONFIG_HOME
    std::string xdgDataHome;    // XDG_DATA_HOME
    std::string xdgRuntimeDir;  // XDG_RUNTIME_DIR
    std::string tempFolder;     // the system's temporary folder

    static FolderEnvironment FromProcess();
};

// The rule above, without touching the disk beyond looking at the executable's prefix. All
// paths absolute and clean, without a trailing separator.
ProgramFolders ResolveProgramFolders(const std::string& folderOption,
                                     const std::string& executableFolder,
                                     const FolderEnvironment& environment);

// For the running program (needs a QCoreApplication): the rule with the process's environment
// and executable, and the user's XDG folders created. Raises std::runtime_error
// ("Cannot create folder %s") when one cannot be created.
ProgramFolders OpenProgramFolders(const std::string& folderOption);

// Creates the XDG folders of `folders` that are missing, readable by the user only.
void CreateUserFolders(const ProgramFolders& folders);

}  // namespace kv::detect
