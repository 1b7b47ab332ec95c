// The one exception type of the HTTP folder; its message is the user-visible text.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kv::http {

class HttpError : public std::runtime_error {
  public:
    explicit HttpError(std::string_view message) : std::runtime_error(std::string(message)) {}
};

}  // namespace kv::http
