// The credential dialog of the command-line program: asks on the controlling terminal when
// there is one, and answers Cancel otherwise (scripts never hang on a prompt).
#pragma once

#include "http/authstore.h"

namespace kv::http {

class TerminalAuthDialog : public AuthDialog {
  public:
    int Execute(TAuthDlgData& data) override;
};

}  // namespace kv::http
