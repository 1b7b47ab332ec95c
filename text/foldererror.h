// The exception base of one library folder: each folder names its own tag, so that a caller
// catches one folder's failures with one type. The message is the user-visible text.
#pragma once

#include <stdexcept>

namespace kv::text {

template <class FolderTag>
class FolderError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kv::text
