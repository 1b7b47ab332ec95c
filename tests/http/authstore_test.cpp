#include "http/authstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::http {
namespace {

using kv::testing::ReadFileBytes;
using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

// Answers like a user would, and counts how often it was shown.
class ScriptedDialog : public AuthDialog {
  public:
    int Execute(TAuthDlgData& data) override {
        ++shown;
        lastSite = data.site;
        if (!ok) return kAuthCanceled;
        data.userName = user;
        data.password = password;
        data.save = save;
        return kAuthOk;
    }
    bool ok = true;
    bool save = true;
    std::string user = "alice";
    std::string password = "s3cret";
    int shown = 0;
    std::string lastSite;
};

class AuthStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
    TAuthDlgData Challenge(const std::string& site, const std::string& user = "",
                           const std::string& pass = "") {
        TAuthDlgData d;
        d.caption = "Server:";
        d.site = site;
        d.realm = "Private";
        d.userName = user;
        d.password = pass;
        return d;
    }
    TempDir dir;
    std::string file = dir.File("kelvane.auth");
    ScriptedDialog dialog;
};

TEST_F(AuthStoreTest, SiteKeyEndsBeforeTheQuery) {
    EXPECT_EQ(AuthStore::SiteKey("http://h/p?a=1"), "http://h/p");
    EXPECT_EQ(AuthStore::SiteKey("?x"), "?x");
    EXPECT_EQ(AuthStore::SiteKey("http://h/p"), "http://h/p");
}

TEST_F(AuthStoreTest, ScrambledFileIsDigestThenXoredText) {
    const std::string plain = "[http://h/]\r\nUser_401=alice\r\n\r\n";
    const std::string bytes = AuthStore::Scramble(plain);
    ASSERT_EQ(bytes.size(), 16 + plain.size());
    EXPECT_EQ(static_cast<char>(bytes[16] ^ bytes[0]), '[');
    EXPECT_EQ(static_cast<char>(bytes[16 + 17] ^ bytes[1]), plain[17]);
    EXPECT_EQ(AuthStore::Unscramble(bytes), plain);
    std::string damaged = bytes;
    damaged[3] ^= 1;
    EXPECT_EQ(AuthStore::Unscramble(damaged), "");
    EXPECT_EQ(AuthStore::Unscramble(bytes.substr(0, 16)), "");
}

TEST_F(AuthStoreTest, SavedCredentialsSurviveARestartAndAreWrittenPrivately) {
    {
        AuthStore store;
        store.SetDialog(&dialog);
        store.Open(file);
        auto d = Challenge("http://h/private/?page=2");
        EXPECT_EQ(store.Prompt(401, d), kAuthOk);
        EXPECT_EQ(dialog.shown, 1);
        store.Close();
    }
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(AuthStore::Unscramble(ReadFileBytes(file)),
              "[http://h/private/]\r\nUser_401=alice\r\nPass_401=s3cret\r\n\r\n");

    AuthStore again;
    again.Open(file);
    const auto found = again.LookUp(401, "http://h/private/?other");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->userName, "alice");
    EXPECT_EQ(found->password, "s3cret");
    EXPECT_FALSE(again.LookUp(401, "http://h/elsewhere/").has_value());
    EXPECT_EQ(again.LookUp(407, "http://h/private/")->userName, "");  // other code: empty
}

TEST_F(AuthStoreTest, UnsavedCredentialsLastForTheRunOnly) {
    dialog.save = false;
    {
        AuthStore store;
        store.SetDialog(&dialog);
        store.Open(file);
        auto d = Challenge("http://h/");
        EXPECT_EQ(store.Prompt(401, d), kAuthOk);
        // Offered again without the dialog while the run lasts.
        auto next = Challenge("http://h/", "", "");
        EXPECT_EQ(store.Prompt(401, next), kAuthOk);
        EXPECT_EQ(next.userName, "alice");
        EXPECT_EQ(dialog.shown, 1);
        store.Close();
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    AuthStore again;
    again.Open(file);
    EXPECT_FALSE(again.LookUp(401, "http://h/").has_value());
}

TEST_F(AuthStoreTest, FailedStoredCredentialsShowTheDialogAgain) {
    AuthStore store;
    store.SetDialog(&dialog);
    store.Open(file);
    auto d = Challenge("http://h/");
    store.Prompt(401, d);
    // The server refused exactly the stored pair: the user is asked.
    auto retry = Challenge("http://h/", "alice", "s3cret");
    dialog.password = "better";
    EXPECT_EQ(store.Prompt(401, retry), kAuthOk);
    EXPECT_EQ(dialog.shown, 2);
    EXPECT_EQ(dialog.lastSite, "http://h/");
    EXPECT_EQ(store.LookUp(401, "http://h/")->password, "better");
}

TEST_F(AuthStoreTest, CancelKeepsTheTriedPairForTheRunAndSavesNothing) {
    dialog.ok = false;
    AuthStore store;
    store.SetDialog(&dialog);
    store.Open(file);
    auto d = Challenge("http://h/", "tried", "pw");
    EXPECT_EQ(store.Prompt(401, d), kAuthCanceled);
    EXPECT_EQ(store.LookUp(401, "http://h/")->userName, "tried");
    store.Close();
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(AuthStoreTest, DamagedFileLoadsEmptyAndIsReplacedAtTheNextSave) {
    WriteFileBytes(file, "0123456789abcdef-not-matching-the-digest");
    AuthStore store;
    store.SetDialog(&dialog);
    store.Open(file);
    EXPECT_FALSE(store.LookUp(401, "http://h/").has_value());
    auto d = Challenge("http://h/");
    store.Prompt(401, d);
    EXPECT_NE(AuthStore::Unscramble(ReadFileBytes(file)).find("User_401=alice"), std::string::npos);
}

TEST_F(AuthStoreTest, RepeatedOpensShareOneStore) {
    AuthStore store;
    store.SetDialog(&dialog);
    store.Open(file);
    store.Open(file);
    auto d = Challenge("http://h/");
    dialog.save = false;
    store.Prompt(401, d);
    store.Close();
    EXPECT_TRUE(store.LookUp(401, "http://h/").has_value());  // still open once
}

}  // namespace
}  // namespace kv::http
