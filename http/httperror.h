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

// Raised by FetchPage. `status` is the HTTP status of a server that answered with an error
// (100..599), 0 for every other failure: an engine's block rules read it.
class FetchError : public HttpError {
  public:
    explicit FetchError(std::string_view message, int status = 0)
        : HttpError(message), status_(status) {}
    int Status() const { return status_; }

  private:
    int status_;
};

}  // namespace kv::http
