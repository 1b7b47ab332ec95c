// A server's realm once drew a fake "enter your sudo password" prompt on a cleared screen
// above the command-line program's own credential prompt: what the server sent is escaped.
#include "http/terminalauthdialog.h"

#include <gtest/gtest.h>

namespace kv::http {
namespace {

TEST(TerminalAuthDialogTest, TheServersRealmAndSiteAreShownEscaped) {
    TAuthDlgData data;
    data.caption = "Server:";
    data.site = "http://a.example/\x1b]0;title\x07";
    data.realm = "\x1b[2J\x1b[H[sudo] password for root:\xc2\x9b";
    EXPECT_EQ(AuthPromptHeader(data),
              "\nAuthentication required\nServer: http://a.example/\\x1B]0;title\\x07\n"
              "Realm: \\x1B[2J\\x1B[H[sudo] password for root:\\u009B\n");
}

}  // namespace
}  // namespace kv::http
