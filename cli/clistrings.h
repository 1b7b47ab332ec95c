// The user-visible texts of kelvane-cli, each exactly once.
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

// The printed help.
inline constexpr const char* kUsage =
    "Usage:\n"
    "  kelvane-cli detect KEYWORD [--engines LIST] [--depth 10|20|30] [--folder DIR]\n"
    "                             [--sources meta,news,tags,data]\n"
    "                             [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli theme KEYWORD [--engines LIST] [--folder DIR]\n"
    "                            [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli detect --keywords-file FILE|- [--skip-cached] [--engines LIST]\n"
    "                             [--depth 10|20|30] [--folder DIR]\n"
    "  kelvane-cli keywords [--folder DIR]\n"
    "  kelvane-cli engines list|check|export|import ... (see below)\n"
    "  kelvane-cli --help | -h | help\n"
    "\n"
    "detect asks the engines for KEYWORD, fetches every result page, saves Word.cds and\n"
    "SECache.cds and prints the theme; theme prints it from the cache without network access;\n"
    "keywords lists the keyword history.\n"
    "\n"
    "Options:\n"
    "  --engines LIST  comma-separated engine names (default: every engine whose definition\n"
    "                  has a query address; kelvane-cli engines list shows them)\n"
    "  --depth N       results to scan per engine: 10 (default), 20 or 30\n"
    "  --folder DIR    the program folder (default: $KELVANE_HOME, else the program's folder)\n"
    "  --pages WORD    the pages that declare WORD instead of the theme\n"
    "  --format F      txt, csv, htm, rtf or xls (xls is never written to a terminal)\n"
    "  --output FILE   write to FILE instead of stdout (the format follows its extension)\n"
    "  --keywords-file FILE  detect each keyword of FILE (one a line, # comments; - is stdin)\n"
    "  --skip-cached   with --keywords-file: skip keywords cached for every chosen engine\n"
    "  --sources LIST  where pages declare keywords (default: the setting, else all four):\n"
    "                  meta (META keywords), news (news keywords), tags (article tags),\n"
    "                  data (structured data)\n"
    "\n"
    "KEYWORD: one line of at most 100 characters; leading and trailing blanks are dropped.\n"
    "Settings: set.ini in the program folder (section [inet]: time-out, retries, User-Agent,\n"
    "proxy, ConnectType 1 direct, 2 given proxy, 3 system proxy from http_proxy and no_proxy).\n"
    "\n"
    "Engine definitions:\n"
    "  kelvane-cli engines list [--folder DIR]\n"
    "  kelvane-cli engines check [NAME...] [--keyword K] [--show] [--folder DIR]\n"
    "                  (exit 3 when some engine does not work)\n"
    "  kelvane-cli engines export [FILE] [--folder DIR]\n"
    "  kelvane-cli engines import FILE [--folder DIR]\n"
    "\n"
    "Exit codes:\n"
    "  0    done (also when some pages failed: they are listed on stderr)\n"
    "  1    failure to start (missing or damaged file, read-only program folder, ...)\n"
    "  2    usage error\n"
    "  4    detect stored not a single page (every engine failed or gave nothing)\n"
    "  130  interrupted by Ctrl-C; 143 by SIGTERM, 129 by SIGHUP (what was stored is saved)\n";

// Lines on stderr (printf formats): the program's name before every message, and the version.
inline constexpr const char* kErrorLine = "kelvane-cli: %s\n";
inline constexpr const char* kErrorLineAt = "kelvane-cli: %s: %s\n";
inline constexpr const char* kVersionLine = "kelvane-cli %s\n";

// Usage errors; "%s" is what the user typed.
inline constexpr const char* kNoCommand = "no command given";
inline constexpr const char* kUnknownCommand = "unknown command '%s'";
inline constexpr const char* kEnginesNoCommand = "engines: no command given";
inline constexpr const char* kEnginesUnknownCommand = "engines: unknown command '%s'";
inline constexpr const char* kNeedsValue = "%s needs a value";
inline constexpr const char* kUnknownOption = "unknown option '%s'";
inline constexpr const char* kUnexpectedArgument = "unexpected argument '%s'";
inline constexpr const char* kNoEngineGiven = "no engine given";
inline constexpr const char* kUnknownEngine = "unknown engine '%s'";
inline constexpr const char* kBadDepth = "the depth is 10, 20 or 30";
inline constexpr const char* kUnknownSources = "unknown keyword sources '%s'";
inline constexpr const char* kUnknownFormat = "unknown format '%s'";
inline constexpr const char* kKeywordsFileTakesNoKeyword = "--keywords-file takes no KEYWORD";
inline constexpr const char* kSingleKeywordNeeded =
    "--pages, --format and --output need a single KEYWORD";
inline constexpr const char* kNoKeyword = "no keyword given";
inline constexpr const char* kSkipCachedNeedsList = "--skip-cached needs --keywords-file";
inline constexpr const char* kOutputNeedsFormat =
    "--output needs --format (or a .txt, .csv, .htm, .rtf or .xls name)";
inline constexpr const char* kImportNeedsFile = "engines import needs a FILE";
inline constexpr const char* kCannotReadKeywordList = "cannot read the keyword list '%s'";

// A keyword list's lines that are no keyword (detect::strings::kAtLine): the reasons.
inline constexpr const char* kControlCharacter = "a control character";
inline constexpr const char* kNotUtf8 = "not UTF-8 text";

// Results.
inline constexpr const char* kNoSuchThemeKeyword = "The theme of '%s' has no keyword '%s'";
inline constexpr const char* kNotInHistory = "The keyword '%s' is not in the keyword history";
inline constexpr const char* kImported = "Imported: %s";
inline constexpr const char* kNoQueryAddress = "(no query address)";

// The progress line and the table of a keyword list's run (printf formats where they hold %d).
inline constexpr const char* kPagesFormat = "%d/%d pages, %d failed";
inline constexpr const char* kEngineFormat = ", asking %s";
inline constexpr const char* kElapsedFormat = ", %.1f s";
inline constexpr const char* kListTableHead = "Keyword\tStored\tFailed\tTheme\n";
inline constexpr const char* kSkippedCached = "cached";

}  // namespace kv::cli::strings
