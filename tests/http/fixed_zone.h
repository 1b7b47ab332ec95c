// Pins the process time zone for a test and puts the previous one back afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kv::http::testing {

class FixedZone {
  public:
    explicit FixedZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~FixedZone() {
        if (old_) {
            ::setenv("TZ", old_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    FixedZone(const FixedZone&) = delete;
    FixedZone& operator=(const FixedZone&) = delete;

  private:
    std::optional<std::string> old_;
};

// Central European time with its summer rule, written out so no zone database is needed.
inline constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
inline constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";

}  // namespace kv::http::testing
