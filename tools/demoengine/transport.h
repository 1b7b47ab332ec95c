// How the demo engine sends its answers the way today's servers do: chunked to HTTP/1.1
// clients, gzip or deflate to clients that accept them (which one depends on the path, so a
// run meets all of them), and form bodies of POST requests.
// Tests: tests/tools/demotransport_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tools/demoengine/request.h"
#include "tools/demoengine/response.h"

namespace kv::demo {

// A search form is a few hundred bytes; anything much larger is refused (413).
inline constexpr std::size_t kMaxRequestBodyBytes = 64 * 1024;

// Reads the fields of the head the transport needs (version, Accept-Encoding,
// Content-Length) into the request.
void ReadTransportFields(std::string_view head, Request& request);

// The answer with its body coded and framed for that client.
Response ApplyTransport(Response response, const Request& request);

// The body in chunks of varied sizes, with the last chunk and a trailer.
std::string ChunkedBody(const std::string& body);

}  // namespace kv::demo
