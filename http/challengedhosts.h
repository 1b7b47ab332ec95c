// The hosts that asked for server credentials (401) during this run, so that the settings'
// user name and password go to them, ahead of time, and to no other host.
// Tests: tests/http/fetch_nginx_test.cpp.
#pragma once

#include <mutex>
#include <set>
#include <string>

namespace kv::http {

class ChallengedHosts {
  public:
    // Keys are "host:port", host in lower case.
    void Add(const std::string& hostKey) {
        std::lock_guard guard(lock_);
        hosts_.insert(hostKey);
    }
    bool Contains(const std::string& hostKey) const {
        std::lock_guard guard(lock_);
        return hosts_.count(hostKey) != 0;
    }

  private:
    mutable std::mutex lock_;
    std::set<std::string> hosts_;
};

}  // namespace kv::http
