// Bodies in the content codings servers send: gzip (windowBits 15 + 16), a zlib stream (15)
// or raw deflate (-15), as servers send "deflate" both ways.
#pragma once

#include <string>

namespace kv::demo {

std::string Compress(const std::string& data, int windowBits);

}  // namespace kv::demo
