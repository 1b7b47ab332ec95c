// The credential store: credentials asked for by 401 and 407 answers, remembered for the run
// and, when the user ticks "save", kept in a scrambled file beside the program (an MD5 digest
// of the text, then the text XORed with that digest; a scrambling, not an encryption).
// Tests: tests/http/authstore_test.cpp.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kv::http {

// What client, store and dialog pass between them.
struct TAuthDlgData {
    std::string caption;  // "Server:" for 401, "Firewall:" for 407
    std::string site;     // the address that asked
    std::string realm;
    std::string userName;
    std::string password;
    bool save = true;
};

enum AuthDialogResult { kAuthOk = 1, kAuthCanceled = 2 };

// The modal dialog with its eight controls; the window supplies a Qt one.
class AuthDialog {
  public:
    virtual ~AuthDialog() = default;
    // Shows the record, and on OK fills in user name, password and save. Returns 1 (OK) or 2.
    virtual int Execute(TAuthDlgData& data) = 0;
};

// In-memory ini text of the stores: sections of key=value lines in the order written.
class AuthIni;

class AuthStore {
  public:
    AuthStore();
    ~AuthStore();
    AuthStore(const AuthStore&) = delete;
    AuthStore& operator=(const AuthStore&) = delete;

    // Opens the store on its file (created readable by the user only when first saved);
    // repeated opens share it.
    void Open(const std::string& filePath);
    // Saves when modified once the last user closes.
    void Close();

    void SetDialog(AuthDialog* dialog) { dialog_ = dialog; }

    struct Credentials {
        std::string userName;
        std::string password;
        std::string siteKey;
    };
    // The run store's entry for the site (up to its first "?") and the status code.
    std::optional<Credentials> LookUp(int code, const std::string& site);

    // Stored credentials that differ from the ones just tried, else the dialog.
    int Prompt(int code, TAuthDlgData& data);

    // The section name of a site: the site up to its first "?" (from the second character on).
    static std::string SiteKey(const std::string& site);

    // The file's bytes for an ini text, and the ini text of a file's bytes ("" when the
    // digest does not match).
    static std::string Scramble(const std::string& plain);
    static std::string Unscramble(const std::string& file);

  private:
    void Load();
    void Save();

    std::recursive_mutex lock_;
    std::string filePath_;
    std::unique_ptr<AuthIni> persistent_;
    std::unique_ptr<AuthIni> run_;
    bool modified_ = false;
    int useCount_ = 0;
    AuthDialog* dialog_ = nullptr;
};

}  // namespace kv::http
