// The user-visible texts of kelvane-cli that are not usage errors.
#pragma once

namespace kv::cli::strings {

inline constexpr const char* kTryHelp = "Try 'kelvane-cli --help' for more information.";
inline constexpr const char* kFolderNotWritable =
    "The program folder %s is not writable: Word.cds and SECache.cds could not be saved. "
    "Name a writable one with --folder or KELVANE_HOME";
inline constexpr const char* kSetDamagedFileAside =
    "To keep its content and start a new one, move the file aside, for instance: mv '%s' "
    "'%s.damaged'";
inline constexpr const char* kBinaryToTerminal =
    "the xls format is not written to a terminal: name a file with --output";
inline constexpr const char* kNothingStored =
    "Not a single page was stored: every engine failed or gave no result";

}  // namespace kv::cli::strings
