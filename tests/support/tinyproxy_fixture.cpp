#include "tests/support/tinyproxy_fixture.h"

#include <fstream>

namespace kv::testing {

TinyproxyFixture::TinyproxyFixture(const std::string& user, const std::string& password) {
    const std::string tinyproxy = FindProgram({"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy"});
    if (tinyproxy.empty()) {
        problem_ = "tinyproxy is not installed";
        return;
    }
    port_ = FreeLoopbackPort();
    const std::string dir = dir_.path().string();
    std::string config = "Port " + std::to_string(port_) +
                         "\n"
                         "Listen 127.0.0.1\n"
                         "Timeout 10\n"
                         "MaxClients 20\n"
                         "Allow 127.0.0.1\n"
                         "LogLevel Info\n"
                         "LogFile \"" +
                         dir + "/tinyproxy.log\"\nPidFile \"" + dir + "/tinyproxy.pid\"\n";
    if (!user.empty()) config += "BasicAuth " + user + " " + password + "\n";
    WriteFileBytes(dir + "/tinyproxy.conf", config);
    process_ = std::make_unique<ServerProcess>(
        std::vector<std::string>{tinyproxy, "-d", "-c", dir + "/tinyproxy.conf"}, port_);
    if (!process_->Running()) problem_ = "tinyproxy did not start: " + Log();
}

TinyproxyFixture::~TinyproxyFixture() {
    process_.reset();
}

std::string TinyproxyFixture::Log() const {
    std::ifstream in(dir_.path().string() + "/tinyproxy.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kv::testing
