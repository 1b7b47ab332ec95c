// The settings dialog, the credential dialog and the about box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/aboutform.h"
#include "app/authform.h"
#include "app/settingsform.h"
#include "data/inifile.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::OnNextModal;
using testing::ProgramFolder;
using testing::RecordingDesktop;

template <typename T>
T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class SettingsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }
};

TEST_F(SettingsDialog, OkStoresTheFieldsInSectionInet) {
    ProgramFolder folder;
    OnNextModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Settings");
        // No set.ini: the defaults, the system choice, proxy and name fields disabled.
        EXPECT_TRUE(Child<QRadioButton>(modal, "SystemRadioButton")->isChecked());
        EXPECT_FALSE(Child<QLineEdit>(modal, "ProxyEdit")->isEnabled());
        EXPECT_FALSE(Child<QLineEdit>(modal, "NameEdit")->isEnabled());
        EXPECT_EQ(Child<QLineEdit>(modal, "TimeoutEdit")->text(), "30");
        auto* agents = Child<QComboBox>(modal, "UserAgentComboBox");
        EXPECT_GT(agents->count(), 5);  // ua.lst
        // A new set.ini offers the first browser of the list.
        EXPECT_EQ(agents->currentText(), agents->itemText(0));
        EXPECT_EQ(Child<QLineEdit>(modal, "AcceptLanguageEdit")->text(), "en-US,en;q=0.9");
        Child<QLineEdit>(modal, "CaFileEdit")->setText("/etc/company-ca.pem");
        EXPECT_EQ(Child<QRadioButton>(modal, "SystemRadioButton")->text(),
                  "Use the system proxy settings");
        QPushButton* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        Child<QRadioButton>(modal, "ProxyRadioButton")->setChecked(true);
        EXPECT_TRUE(Child<QLineEdit>(modal, "ProxyEdit")->isEnabled());
        // Via a proxy, but no server given: refused.
        EXPECT_FALSE(ok->isEnabled());
        Child<QLineEdit>(modal, "ProxyEdit")->setText("  ");
        EXPECT_FALSE(ok->isEnabled());
        Child<QLineEdit>(modal, "ProxyEdit")->setText("proxy.example");
        EXPECT_TRUE(ok->isEnabled());
        Child<QLineEdit>(modal, "PortEdit")->setText("eighty");
        Child<QLineEdit>(modal, "TimeoutEdit")->setText("");
        Child<QCheckBox>(modal, "UseAuthCheckBox")->setChecked(true);
        EXPECT_TRUE(Child<QLineEdit>(modal, "NameEdit")->isEnabled());
        Child<QLineEdit>(modal, "NameEdit")->setText("ann");
        Child<QLineEdit>(modal, "PasswordEdit")->setText("secret");
        EXPECT_EQ(Child<QLineEdit>(modal, "PasswordEdit")->echoMode(), QLineEdit::Password);
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(ExecuteSettingsForm(nullptr, folder.Path()));
    const data::IniFile ini(folder.File("set.ini"));
    EXPECT_EQ(ini.ReadString("inet", "Proxy", ""), "proxy.example");
    EXPECT_EQ(ini.ReadString("inet", "ProxyPort", ""), "0");
    EXPECT_EQ(ini.ReadString("inet", "timeout", ""), "30");
    EXPECT_EQ(ini.ReadString("inet", "ConnectType", ""), "2");
    EXPECT_EQ(ini.ReadString("inet", "UseAuth", ""), "1");
    EXPECT_EQ(ini.ReadString("inet", "Username", ""), "ann");
    EXPECT_EQ(ini.ReadString("inet", "Password", ""), "secret");
    EXPECT_EQ(ini.ReadString("inet", "CAFile", ""), "/etc/company-ca.pem");
}

TEST_F(SettingsDialog, CancelWritesNothing) {
    ProgramFolder folder;
    OnNextModal([](QWidget* modal) {
        Child<QLineEdit>(modal, "TimeoutEdit")->setText("99");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(ExecuteSettingsForm(nullptr, folder.Path()));
    EXPECT_FALSE(std::filesystem::exists(folder.File("set.ini")));
}

TEST_F(SettingsDialog, TheSystemChoiceShowsTheSystemProxySplitAtItsColon) {
    ProgramFolder folder;
    qputenv("http_proxy", "http://cache.example:3128/");
    OnNextModal([](QWidget* modal) {
        EXPECT_EQ(Child<QLineEdit>(modal, "ProxyEdit")->text(), "cache.example");
        EXPECT_EQ(Child<QLineEdit>(modal, "PortEdit")->text(), "3128");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    ExecuteSettingsForm(nullptr, folder.Path());
    qunsetenv("http_proxy");
}

TEST_F(SettingsDialog, KeywordSourcesStartAsAllFourAndTheLastOneCannotBeCleared) {
    ProgramFolder folder;
    OnNextModal([](QWidget* modal) {
        const char* names[] = {"KeywordSource_meta", "KeywordSource_news", "KeywordSource_tags",
                               "KeywordSource_data"};
        for (const char* name : names) EXPECT_TRUE(Child<QCheckBox>(modal, name)->isChecked());
        for (const char* name : names) Child<QCheckBox>(modal, name)->setChecked(false);
        EXPECT_TRUE(Child<QCheckBox>(modal, "KeywordSource_data")->isChecked());
        Child<QCheckBox>(modal, "KeywordSource_news")->setChecked(true);
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(ExecuteSettingsForm(nullptr, folder.Path()));
    const data::IniFile ini(folder.File("set.ini"));
    EXPECT_EQ(ini.ReadString("detect", "KeywordSources", ""), "news,data");
}

TEST(AuthDialog, OkFillsTheRecordAndCancelLeavesIt) {
    QtAuthDialog dialog(nullptr);
    http::TAuthDlgData data{"Server:", "http://site.example/private", "Members", "old", "pw", true};
    OnNextModal([](QWidget* modal) {
        EXPECT_EQ(Child<QLabel>(modal, "Control1042")->text(), "Server:");
        EXPECT_EQ(Child<QLabel>(modal, "Control1041")->text(), "http://site.example/private");
        EXPECT_EQ(Child<QLabel>(modal, "Control1044")->text(), "Members");
        auto* user = Child<QLineEdit>(modal, "Control1218");
        EXPECT_EQ(user->text(), "old");
        EXPECT_EQ(user->maxLength(), 254);
        user->setText("ann");
        Child<QLineEdit>(modal, "Control1219")->setText("secret");
        Child<QCheckBox>(modal, "Control1024")->setChecked(false);
        Child<QPushButton>(modal, "Control1")->click();
    });
    EXPECT_EQ(dialog.Execute(data), http::kAuthOk);
    EXPECT_EQ(data.userName, "ann");
    EXPECT_EQ(data.password, "secret");
    EXPECT_FALSE(data.save);

    OnNextModal([](QWidget* modal) {
        Child<QLineEdit>(modal, "Control1218")->setText("changed");
        Child<QPushButton>(modal, "Control2")->click();
    });
    EXPECT_EQ(dialog.Execute(data), http::kAuthCanceled);
    EXPECT_EQ(data.userName, "ann");
}

TEST(AboutBox, ShowsTheVersionAndLeadsToSupportUpdatesAndHome) {
    EXPECT_EQ(VersionText("1.0.2.3"), "1.0.2.3");
    EXPECT_EQ(VersionText(""), "0.0.0.0");
    EXPECT_EQ(SupportMailUrl().toString(QUrl::FullyDecoded),
              "mailto:support@ostrel.example?subject=Support for Kelvane needed");
    RecordingDesktop desktop;
    TAboutForm about(desktop);
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(Child<QLabel>(&about, "VersionLabel")->text(),
              QString("Version: ") + KELVANE_VERSION);
    emit Child<QLabel>(&about, "Get updates")
        ->linkActivated("https://www.ostrel.example/kelvane/download");
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].toString(), "https://www.ostrel.example/kelvane/download");
}

}  // namespace
}  // namespace kv::app
