// The program's fixed identity: names, the single-instance key, and the maker's web and mail
// addresses, kept in this one place so that a rebranded build changes only this file.
#pragma once

namespace kv::app::config {

inline constexpr const char* kInstanceGuid = "{7F0E5EF3-53A9-4B34-A3C2-BABCDADD9BCC}";

// The program's own settings key (the revision text of the about box).
inline constexpr const char* kSettingsOrganization = "Kelvane";
inline constexpr const char* kSettingsApplication = "Kelvane";
inline constexpr const char* kRevisionKey = "revision_name";

inline constexpr const char* kSupportMail = "support@ostrel.example";
inline constexpr const char* kUpdatePage = "https://www.ostrel.example/kelvane/download";
inline constexpr const char* kHomePage = "https://www.ostrel.example/kelvane";

// Files in the program folder.
inline constexpr const char* kSettingsFile = "set.ini";
inline constexpr const char* kUserAgentList = "ua.lst";
inline constexpr const char* kManualFile = "manual/index.html";
inline constexpr const char* kDistributionFile = "distribution.txt";

}  // namespace kv::app::config
