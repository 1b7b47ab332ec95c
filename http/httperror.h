// The exceptions of the HTTP folder; the message is the user-visible text. HttpError is the
// base a caller catches for any HTTP failure. FetchError stays distinct below it because the two
// are caught at different levels: the exchange engine catches HttpError inside one exchange and
// ends that exchange with it, while FetchPage's callers catch FetchError, the page's failure log
// line ("Connection timed out. " + details, ...).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kv::http {

class HttpError : public std::runtime_error {
  public:
    explicit HttpError(std::string_view message) : std::runtime_error(std::string(message)) {}
};

// Raised by FetchPage.
class FetchError : public HttpError {
  public:
    using HttpError::HttpError;
};

}  // namespace kv::http
