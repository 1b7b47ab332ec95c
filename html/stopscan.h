// Finding the next byte that matters to the parser: most of a page is bytes that are simply
// counted, so runs of them are skipped 16 at a time where the CPU allows.
// Tests: tests/html/stopscan_test.cpp; the parser's tests cover its use.
#pragma once

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kv::html {

// The index of the first byte of data[from, size) that is one of Stops, or size.
template <char... Stops>
std::size_t SkipToStop(const char* data, std::size_t from, std::size_t size) {
    std::size_t i = from;
    auto isStop = [](char c) { return ((c == Stops) || ...); };
    if (i < size && isStop(data[i])) return i;  // stops often follow each other
#if defined(__SSE2__)
    constexpr std::size_t kLanes = 16;
    for (; i + kLanes <= size; i += kLanes) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(Stops)))), ...);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    while (i < size && !isStop(data[i])) ++i;
    return i;
}

}  // namespace kv::html
