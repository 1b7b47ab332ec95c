// The keyword-sources setting in the program folder's "set.ini"; apart from the sources
// themselves, as only this needs to know where the settings file lies.
#include "detect/keywordsources.h"
#include "http/connectionsettings.h"

namespace kv::detect {

KeywordSources ReadKeywordSourcesSetting(const std::string& folder) {
    return LoadKeywordSources(data::IniFile(http::SettingsFilePath(folder)));
}

}  // namespace kv::detect
