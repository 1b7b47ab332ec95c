// Text from the network on its way to a terminal: control characters would let a page move
// the cursor, clear the screen or draw a fake prompt, so they are shown escaped instead.
// Tests: tests/text/terminaltext_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace kv::text {

// C0 controls but TAB, and DEL, become "\xHH"; C1 controls become "\u00HH" when encoded in
// UTF-8, "\xHH" as lone bytes (terminals in 8-bit mode take those too). All else is kept.
std::string EscapeForTerminal(std::string_view text);

}  // namespace kv::text
