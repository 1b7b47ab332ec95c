#include "http/terminalauthdialog.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "http/httpstrings.h"
#include "text/terminaltext.h"

namespace kv::http {

namespace {

// Longest answer taken, as the dialog's fields take at most 254 characters.
constexpr std::size_t kMaxAnswer = 254;

class Terminal {
  public:
    Terminal() : fd_(open("/dev/tty", O_RDWR | O_NOCTTY)) {}
    ~Terminal() {
        if (fd_ >= 0) close(fd_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool Available() const { return fd_ >= 0 && isatty(fd_); }

    void Say(const std::string& text) const {
        if (write(fd_, text.data(), text.size()) < 0) return;
    }

    // One line; false at end of input.
    bool Ask(const std::string& question, std::string& answer, bool hidden) const {
        Say(question);
        termios saved{};
        const bool masked = hidden && tcgetattr(fd_, &saved) == 0;
        if (masked) {
            termios quiet = saved;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            tcsetattr(fd_, TCSAFLUSH, &quiet);
        }
        answer.clear();
        char c = 0;
        bool gotLine = false;
        ssize_t n;
        while ((n = read(fd_, &c, 1)) == 1) {
            if (c == '\n') {
                gotLine = true;
                break;
            }
            if (c != '\r' && answer.size() < kMaxAnswer) answer += c;
        }
        if (masked) {
            tcsetattr(fd_, TCSAFLUSH, &saved);
            Say("\n");
        }
        return gotLine || !answer.empty();
    }

  private:
    int fd_;
};

}  // namespace

std::string AuthPromptHeader(const TAuthDlgData& data) {
    // The site and the realm come from the server.
    return FormatText(kAuthPromptHeader, {data.caption, text::EscapeForTerminal(data.site),
                                          text::EscapeForTerminal(data.realm)});
}

int TerminalAuthDialog::Execute(TAuthDlgData& data) {
    const Terminal tty;
    if (!tty.Available()) return kAuthCanceled;
    tty.Say(AuthPromptHeader(data));
    std::string user, password, save;
    if (!tty.Ask(FormatText(kAuthAskUserName, text::EscapeForTerminal(data.userName)), user, false))
        return kAuthCanceled;
    if (!tty.Ask(std::string(kAuthAskPassword), password, true)) return kAuthCanceled;
    if (!tty.Ask(std::string(kAuthAskSave), save, false)) return kAuthCanceled;
    data.userName = user.empty() ? data.userName : user;
    data.password = password;
    data.save = !save.empty() && (save[0] == 'y' || save[0] == 'Y');
    return kAuthOk;
}

}  // namespace kv::http
