// The credential dialog of the command-line program: asks on the controlling terminal when
// there is one, and answers Cancel otherwise (scripts never hang on a prompt).
#pragma once

#include "http/authstore.h"

namespace kv::http {

// What the prompt says before it asks: the site and the realm, control characters escaped.
std::string AuthPromptHeader(const TAuthDlgData& data);

class TerminalAuthDialog : public AuthDialog {
  public:
    int Execute(TAuthDlgData& data) override;
};

}  // namespace kv::http
