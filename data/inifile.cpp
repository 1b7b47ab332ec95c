#include "data/inifile.h"

#include <unistd.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "data/datastrings.h"
#include "data/replacementfile.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::data {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        if (access(path_.c_str(), F_OK) == 0)
            throw IniError(text::FormatText(strings::kCannotOpenFile, path_));
        return;
    }
    std::string raw;
    int section = -1;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
            lineEnd_ = "\r\n";  // keep the file's own line ends
        }
        Line line{raw, section, {}, 0};
        const std::string_view t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
            sections_.push_back({std::string(Trim(t.substr(1, t.find(']') - 1))), lines_.size()});
            section = static_cast<int>(sections_.size()) - 1;
            line.section = section;
        } else if (!t.empty() && t.front() != ';' && t.front() != '#' && section >= 0) {
            const std::size_t eq = raw.find('=');
            if (eq != std::string::npos) {
                line.key = std::string(Trim(std::string_view(raw).substr(0, eq)));
                line.valuePos = eq + 1;
            }
        }
        lines_.push_back(std::move(line));
    }
    if (in.bad()) throw IniError(text::FormatText(strings::kCannotOpenFile, path_));
}

int IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < sections_.size(); ++i)
        if (text::SameAsciiNoCase(sections_[i].name, section)) return static_cast<int>(i);
    return -1;
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
    const int s = FindSection(section);
    if (s < 0) return nullptr;
    for (const Line& line : lines_)
        if (line.section == s && !line.key.empty() && text::SameAsciiNoCase(line.key, key))
            return &line;
    return nullptr;
}

bool IniFile::SectionExists(std::string_view section) const {
    return FindSection(section) >= 0;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const Line* line = FindLine(section, key);
    if (line == nullptr) return std::nullopt;
    return line->text.substr(line->valuePos);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    auto v = Find(section, key);
    return v ? *v : std::string(defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const auto v = Find(section, key);
    if (!v) return defaultValue;
    const std::string_view t = Trim(*v);
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    return (ec == std::errc() && end == t.data() + t.size() && !t.empty()) ? value : defaultValue;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    const auto v = Find(section, key);
    if (!v) return defaultValue;
    const std::string_view t = Trim(*v);
    if (text::SameAsciiNoCase(t, "True") || t == "1") return true;
    if (text::SameAsciiNoCase(t, "False") || t == "0") return false;
    return defaultValue;
}

namespace {

// Whether "[section]" and "key=value" lines read back as this section, key and value. A line
// break would end a line early and the rest would be read as a line of its own, even as a
// new section; the other shapes would read as another name, a comment or a header.
bool ReadsBack(std::string_view section, std::string_view key, std::string_view value) {
    const auto breaks = [](std::string_view s) { return s.find_first_of("\r\n") != s.npos; };
    return !breaks(section) && !breaks(key) && !breaks(value) &&
           section.find(']') == std::string_view::npos && Trim(section) == section &&
           !key.empty() && key.find('=') == std::string_view::npos && Trim(key) == key &&
           key.find_first_of(";#[") != 0;
}

}  // namespace

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!ReadsBack(section, key, value))
        throw IniError(text::FormatText(strings::kIniCannotWrite, {section, key, path_}));
    if (const Line* found = FindLine(section, key)) {
        Line& line = lines_[static_cast<std::size_t>(found - lines_.data())];
        line.text = line.text.substr(0, line.valuePos) + std::string(value);
        return;
    }
    int s = FindSection(section);
    if (s < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({"", -1, {}, 0});
        sections_.push_back({std::string(section), lines_.size()});
        s = static_cast<int>(sections_.size()) - 1;
        lines_.push_back({"[" + std::string(section) + "]", s, {}, 0});
    }
    // After the section's last key, or right after its header.
    std::size_t at = sections_[static_cast<std::size_t>(s)].headerLine + 1;
    for (std::size_t i = at; i < lines_.size() && lines_[i].section == s; ++i)
        if (!lines_[i].key.empty()) at = i + 1;
    Line line{std::string(key) + "=" + std::string(value), s, std::string(key), key.size() + 1};
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    for (auto& sec : sections_)
        if (sec.headerLine >= at) ++sec.headerLine;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "True" : "False");
}

void IniFile::Save(mode_t newFileMode, bool forceMode) const {
    std::string content;
    for (const Line& line : lines_) content += line.text + lineEnd_;
    FileMode mode;
    (forceMode ? mode.forced : mode.forNewFile) = newFileMode;
    if (!ReplaceFileContents(path_, content, mode))
        throw IniError(text::FormatText(strings::kCannotCreateFile, path_));
}

}  // namespace kv::data
