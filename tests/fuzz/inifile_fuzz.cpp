// libFuzzer entry for the ini reader and writer ("set.ini"): the input is the file; its last
// line (after the final LF) names "section", "key" and "value" separated by NUL bytes, which
// are written and saved. Reading never fails on any bytes; a write either raises IniError or
// reads back exactly after the save, and every other key keeps its value.
#include <strings.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/inifile.h"

namespace {

std::string Path() {
    static const std::string path = [] {
        // Memory-backed when there is /dev/shm: every save syncs the file.
        char folder[] = "/dev/shm/kelvane-inifuzz-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            std::snprintf(folder, sizeof folder, "/tmp/kv-inifuzz-XXXXXX");
            if (mkdtemp(folder) == nullptr) std::abort();
        }
        return std::string(folder) + "/set.ini";
    }();
    return path;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lastLf = input.rfind('\n');
    const std::string_view file =
        lastLf == std::string_view::npos ? input : input.substr(0, lastLf + 1);
    const std::string_view command =
        lastLf == std::string_view::npos ? std::string_view() : input.substr(lastLf + 1);
    const std::size_t nul1 = command.find('\0');
    const std::size_t nul2 = nul1 == std::string_view::npos ? nul1 : command.find('\0', nul1 + 1);
    if (nul2 == std::string_view::npos) {  // only read
        WriteFile(Path(), input);
        kv::data::IniFile ini(Path());
        (void)ini.ReadInteger("inet", "timeout", 0);
        (void)ini.ReadBool("TMainForm", "x", false);
        return 0;
    }
    const std::string section(command.substr(0, nul1));
    const std::string key(command.substr(nul1 + 1, nul2 - nul1 - 1));
    const std::string value(command.substr(nul2 + 1));
    WriteFile(Path(), file);
    kv::data::IniFile ini(Path());
    const std::string otherBefore = ini.ReadString("inet", "Proxy", "\x01none");
    try {
        ini.WriteString(section, key, value);
    } catch (const kv::data::IniError&) {
        return 0;
    }
    ini.Save();
    const kv::data::IniFile again(Path());
    if (again.ReadString(section, key, "\x01none") != value) __builtin_trap();
    const bool sameKey =
        strcasecmp(section.c_str(), "inet") == 0 && strcasecmp(key.c_str(), "Proxy") == 0;
    if (!sameKey && again.ReadString("inet", "Proxy", "\x01none") != otherBefore) __builtin_trap();
    return 0;
}
