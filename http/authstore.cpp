#include "http/authstore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "data/replacementfile.h"
#include "text/textcompare.h"

namespace kv::http {

class AuthIni {
  public:
    explicit AuthIni(const std::string& text) {
        std::istringstream in(text);
        std::string line;
        Section* current = nullptr;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[' && line.find(']') != std::string::npos) {
                current = &SectionFor(line.substr(1, line.find(']') - 1));
                continue;
            }
            if (current == nullptr) continue;  // lines before the first section
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            Set(*current, line.substr(0, eq), line.substr(eq + 1));
        }
    }

    bool HasSection(const std::string& name) const { return FindSection(name) != nullptr; }

    std::string Read(const std::string& section, const std::string& key) const {
        const Section* s = FindSection(section);
        if (s == nullptr) return {};
        for (const auto& [k, v] : s->values)
            if (text::SameAsciiNoCase(k, key)) return v;
        return {};
    }

    void Write(const std::string& section, const std::string& key, const std::string& value) {
        Set(SectionFor(section), key, value);
    }

    std::string Text() const {
        std::string out;
        for (const auto& s : sections_) {
            out += "[" + s.name + "]\r\n";
            for (const auto& [k, v] : s.values) out += k + "=" + v + "\r\n";
            out += "\r\n";
        }
        return out;
    }

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };

    const Section* FindSection(const std::string& name) const {
        for (const auto& s : sections_)
            if (text::SameAsciiNoCase(s.name, name)) return &s;
        return nullptr;
    }

    Section& SectionFor(const std::string& name) {
        for (auto& s : sections_)
            if (text::SameAsciiNoCase(s.name, name)) return s;
        sections_.push_back({name, {}});
        return sections_.back();
    }

    static void Set(Section& s, const std::string& key, const std::string& value) {
        for (auto& [k, v] : s.values) {
            if (text::SameAsciiNoCase(k, key)) {
                v = value;
                return;
            }
        }
        s.values.emplace_back(key, value);
    }

    std::vector<Section> sections_;
};

namespace {

constexpr std::size_t kDigestSize = 16;

std::string Md5(const std::string& data) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size())),
        QCryptographicHash::Md5);
    return std::string(digest.constData(), static_cast<std::size_t>(digest.size()));
}

std::string XorWith(const std::string& data, const std::string& digest) {
    std::string out(data);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(out[i] ^ digest[i % kDigestSize]);
    return out;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

AuthStore::AuthStore()
    : persistent_(std::make_unique<AuthIni>("")), run_(std::make_unique<AuthIni>("")) {}

AuthStore::~AuthStore() {
    while (useCount_ > 0) Close();
}

std::string AuthStore::SiteKey(const std::string& site) {
    const std::size_t q = site.find('?');
    return (q != std::string::npos && q >= 1) ? site.substr(0, q) : site;
}

std::string AuthStore::Scramble(const std::string& plain) {
    const std::string digest = Md5(plain);
    return digest + XorWith(plain, digest);
}

std::string AuthStore::Unscramble(const std::string& file) {
    if (file.size() <= kDigestSize) return {};
    const std::string digest = file.substr(0, kDigestSize);
    std::string plain = XorWith(file.substr(kDigestSize), digest);
    return Md5(plain) == digest ? plain : std::string();
}

void AuthStore::Open(const std::string& filePath) {
    std::lock_guard guard(lock_);
    if (useCount_++ > 0) return;
    filePath_ = filePath;
    Load();
}

void AuthStore::Close() {
    std::lock_guard guard(lock_);
    if (useCount_ == 0 || --useCount_ > 0) return;
    Save();
    persistent_ = std::make_unique<AuthIni>("");
    run_ = std::make_unique<AuthIni>("");
}

void AuthStore::Load() {
    const std::string text = Unscramble(ReadWholeFile(filePath_));
    persistent_ = std::make_unique<AuthIni>(text);
    run_ = std::make_unique<AuthIni>(text);
}

void AuthStore::Save() {
    if (!modified_ || filePath_.empty()) return;
    const std::string text = persistent_->Text();
    // A failed write keeps the old file; the store stays modified and is tried again at close.
    if (!text.empty() &&
        !data::ReplaceFileContents(filePath_, Scramble(text), {.forced = 0600, .forNewFile = {}}))
        return;
    modified_ = false;
}

std::optional<AuthStore::Credentials> AuthStore::LookUp(int code, const std::string& site) {
    std::lock_guard guard(lock_);
    const std::string key = SiteKey(site);
    if (!run_->HasSection(key)) return std::nullopt;
    const std::string suffix = "_" + std::to_string(code);
    return Credentials{run_->Read(key, "User" + suffix), run_->Read(key, "Pass" + suffix), key};
}

int AuthStore::Prompt(int code, TAuthDlgData& data) {
    std::lock_guard guard(lock_);
    const std::string triedUser = data.userName;
    const std::string triedPassword = data.password;
    data.save = true;
    if (const auto stored = LookUp(code, data.site)) {
        if (!text::SameIgnoringCase(stored->userName, triedUser) &&
            !text::SameIgnoringCase(stored->password, triedPassword)) {
            data.site = stored->siteKey;
            data.userName = stored->userName;
            data.password = stored->password;
            return kAuthOk;
        }
        data.site = stored->siteKey;
    }
    const int result = dialog_ != nullptr ? dialog_->Execute(data) : kAuthCanceled;
    const std::string key = SiteKey(data.site);
    const std::string suffix = "_" + std::to_string(code);
    run_->Write(key, "User" + suffix, data.userName);
    run_->Write(key, "Pass" + suffix, data.password);
    if (result == kAuthOk && data.save) {
        persistent_->Write(key, "User" + suffix, data.userName);
        persistent_->Write(key, "Pass" + suffix, data.password);
        modified_ = true;
        Save();
    }
    return result == kAuthOk ? kAuthOk : kAuthCanceled;
}

}  // namespace kv::http
