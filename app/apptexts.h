// The window's user-visible texts, each exactly once. Texts the window shares with a folder
// below it (the grids' captions, the no-engine message) are that folder's, named here.
#pragma once

#include "data/datastrings.h"
#include "detect/detectstrings.h"

namespace kv::app::texts {

inline constexpr const char* kTitle = "Kelvane by Ostrel";
// The banner over the window.
inline constexpr const char* kBannerName = "Kelvane";
inline constexpr const char* kBannerTagline = "The keywords your best-ranking rivals declare";

// The window program's command line.
inline constexpr const char* kUsage =
    "Usage: kelvane [--folder DIR] | --help | --version\n"
    "\n"
    "The Kelvane window. The program folder holds the data files (SE.cds, SECache.cds,\n"
    "Word.cds) and the settings (set.ini); it is DIR, else $KELVANE_HOME, else the program's\n"
    "own folder. The command-line program is kelvane-cli (kelvane-cli --help).\n";
inline constexpr const char* kVersionLine = "kelvane %s\n";
inline constexpr const char* kNoDisplay =
    "kelvane: no display (DISPLAY and WAYLAND_DISPLAY are not set); "
    "kelvane-cli works without one\n";

// Main window.
inline constexpr const char* kKeyword = "Keyword:";
inline constexpr const char* kEdit = "Edit";
inline constexpr const char* kDetectMyTheme = "Detect my theme";
inline constexpr const char* kFindWords = "Find words";
inline constexpr const char* kStopScanning = "Stop scanning";
inline constexpr const char* kSearchEngine = "Search engine:";
inline constexpr const char* kResultsToScan = "Search results to scan:";
inline constexpr const char* kSaveKeywords = "Save keywords";
inline constexpr const char* kSaveMetaKeywords = "Save META Keywords";
inline constexpr const char* kLogHint = "All errors you have encountered are displayed here";
inline constexpr const char* kTotal = data::strings::kTotal;
inline constexpr const char* kHintTotal = "Total: %d";
inline constexpr const char* kNoEngine = detect::strings::kNoEngineTicked;
inline constexpr const char* kInformation = "Information";
inline constexpr const char* kCaseOption =
    "&Count spellings that differ only in case as one keyword";

// The program folder and its files.
inline constexpr const char* kFolderNotWritableTitle = "Program folder is read-only";
inline constexpr const char* kFolderNotWritable =
    "The program folder %1 is not writable, so the keyword history, the result cache and the "
    "settings cannot be saved there.\n\nContinue without saving, or quit?";
inline constexpr const char* kContinueReadOnly = "Continue read-only";
inline constexpr const char* kQuit = "Quit";
inline constexpr const char* kReadOnlyStatus = "Read-only: nothing is saved in %1";
inline constexpr const char* kDamagedFileTitle = "Damaged file";
inline constexpr const char* kDamagedFile =
    "The file %1 cannot be read:\n%2\n\nSet it aside (it is renamed to %1.damaged-DATE, "
    "never deleted) and start a new one, or quit?";
inline constexpr const char* kSetAside = "Set it aside and start a new one";
inline constexpr const char* kDamagedFileKept = "The damaged file was kept as %1";
inline constexpr const char* kTablesReloaded =
    "The keywords and the cache were read again: another run of Kelvane saved them";

// Links the desktop cannot open.
inline constexpr const char* kNoMailProgram = "No mail program opens mail links here: write to %1";
inline constexpr const char* kNoWebBrowser = "No web browser opens links here: the page is %1";
inline constexpr const char* kFileSavedAs = "Saved as %1 (no program here opens it)";
inline constexpr const char* kManualCaption = "Kelvane manual";

// Grid captions.
inline constexpr const char* kKeywordCaption = data::strings::kKeywordCaption;
inline constexpr const char* kCountCaption = data::strings::kCountCaption;
inline constexpr const char* kRankCaption = data::strings::kRankCaption;
inline constexpr const char* kWebPageCaption = data::strings::kWebPageCaption;
inline constexpr const char* kMetaKeywordsCaption = data::strings::kMetaKeywordsCaption;
inline constexpr const char* kSourcesCaption = data::strings::kSourcesCaption;

// Menus.
inline constexpr const char* kFileMenu = "&File";
inline constexpr const char* kGetUpdates = "&Get updates";
inline constexpr const char* kSettings = "Se&ttings...";
inline constexpr const char* kExit = "E&xit";
inline constexpr const char* kHelpMenu = "&Help";
inline constexpr const char* kGetSupport = "&Get support";
inline constexpr const char* kHelpTopics = "&Help topics";
inline constexpr const char* kProgramDistribution = "Program distribution";
inline constexpr const char* kAbout = "&About...";
inline constexpr const char* kSupportSubject = "Support for Kelvane needed";
inline constexpr const char* kDistributionTerms =
    "Kelvane - terms of distribution\n\n"
    "You may pass this program on to others free of charge, unchanged and complete with all "
    "its files, and you may link to its home page from your own pages. You may not sell it or "
    "bundle it with a product that is sold.\n\n"
    "The details are in the file distribution.txt in the program folder.";

// Engine self-test dialog.
inline constexpr const char* kCheckEngines = "Check engines";
inline constexpr const char* kCheck = "Check";
inline constexpr const char* kStop = "Stop";
inline constexpr const char* kEngineColumn = "Engine";
inline constexpr const char* kVerdictColumn = "Verdict";
inline constexpr const char* kChecking = "checking...";

// Keyword manager.
inline constexpr const char* kKeywordManager = "Keyword Manager";
inline constexpr const char* kAdd = "Add";
inline constexpr const char* kDelete = "Delete";
inline constexpr const char* kClose = "Close";
inline constexpr const char* kAddNewKeyword = "Add new keyword";
inline constexpr const char* kEnterKeyword = "Enter keyword:";
inline constexpr const char* kConfirmation = "Confirmation";
inline constexpr const char* kDeleteQuestion = "Do you want to delete '%s' ?";

// About box.
inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kProductInformation = "  Product Information  ";
inline constexpr const char* kVersion = "Version:";
inline constexpr const char* kKnowledgeBase = "Knowledge Base";
inline constexpr const char* kSupportLink = "Get support";
inline constexpr const char* kUpdatesLink = "Get updates";
inline constexpr const char* kContactInformation = "  Contact Information  ";
inline constexpr const char* kContactDetails =
    "Ostrel Software\n12 Example Street, Exampleton EX1 2MP\nsupport@ostrel.example\n"
    "www.ostrel.example";
inline constexpr const char* kLegalNotice =
    "Copyright (c) Ostrel Software. All rights reserved. Search engine names are the marks of "
    "their owners.";

// Settings dialog.
inline constexpr const char* kSettingsCaption = "Settings";
inline constexpr const char* kConnectionGroup = " Connection ";
inline constexpr const char* kDirectConnection = "Direct connection";
inline constexpr const char* kConnectViaProxy = "Connect via proxy ";
inline constexpr const char* kUseSystemSettings = "Use the system proxy settings";
inline constexpr const char* kProxyServerNeeded = "Enter the proxy server to connect via a proxy";
inline constexpr const char* kProxyServer = "Proxy server:";
inline constexpr const char* kPort = "Port:";
inline constexpr const char* kConnectionTimeout = "Connection timeout:";
inline constexpr const char* kSeconds = "seconds";
inline constexpr const char* kTryToReconnect = "Try to reconnect:";
inline constexpr const char* kTimes = "times";
inline constexpr const char* kParallelFetches = "Pages side by side:";
inline constexpr const char* kPagesAtOnce = "at most";
inline constexpr const char* kUserAgent = "User agent:";
inline constexpr const char* kCaFile = "Extra CA certificates (PEM file):";
inline constexpr const char* kAcceptLanguage = "Accept-Language:";
inline constexpr const char* kUseAuthentication = "Use name and password for authentication";
inline constexpr const char* kName = "Name:";
inline constexpr const char* kPassword = "Password:";
inline constexpr const char* kKeywordSourcesGroup = "Read the keywords that pages declare in";
inline constexpr const char* kSourceMeta = "META keywords";
inline constexpr const char* kSourceNews = "News keywords";
inline constexpr const char* kSourceTags = "Article tags";
inline constexpr const char* kSourceData = "Structured data";

// Credential dialog.
inline constexpr const char* kAuthCaption = "Enter Network Password";
inline constexpr const char* kAuthPrompt = "Please type your user name and password.";
inline constexpr const char* kRealm = "Realm";
inline constexpr const char* kUserName = "User Name";
inline constexpr const char* kAuthPassword = "Password";
inline constexpr const char* kSavePassword = "Save this password in your password list";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Cancel";

}  // namespace kv::app::texts

namespace kv::app::texts {

// Waiting for the program folder (its message is data::strings::kWaitingForFolder).
inline constexpr const char* kCancelWaiting = kCancel;

}  // namespace kv::app::texts
