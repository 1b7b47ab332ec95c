#include "tests/support/nginx_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace kv::testing {

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string ReadIfThere(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

NginxFixture::NginxFixture(const std::string& serverConfig, const std::string& listenOptions) {
    const std::string nginx = FindProgram({"/usr/sbin/nginx", "/usr/bin/nginx"});
    if (nginx.empty()) {
        problem_ = "nginx is not installed";
        return;
    }
    port_ = FreeLoopbackPort();
    const std::string dir = Dir();
    std::filesystem::create_directories(dir + "/www");
    std::filesystem::create_directories(dir + "/temp");
    std::string config =
        "master_process off;\n"
        "daemon off;\n"
        "error_log @DIR@/error.log warn;\n"
        "pid @DIR@/nginx.pid;\n"
        "events { worker_connections 64; }\n"
        "http {\n"
        "  log_format kv '$request|$http_authorization|$http_via|$http_cookie';\n"
        "  access_log @DIR@/access.log kv;\n"
        "  client_body_temp_path @DIR@/temp/body;\n"
        "  proxy_temp_path @DIR@/temp/proxy;\n"
        "  fastcgi_temp_path @DIR@/temp/fastcgi;\n"
        "  uwsgi_temp_path @DIR@/temp/uwsgi;\n"
        "  scgi_temp_path @DIR@/temp/scgi;\n"
        "  types { text/html html; image/png png; text/plain txt; }\n"
        "  default_type application/octet-stream;\n"
        "  server {\n"
        "    listen 127.0.0.1:@PORT@ " +
        listenOptions +
        ";\n"
        "    root @DIR@/www;\n" +
        serverConfig +
        "\n  }\n"
        "}\n";
    config = ReplaceAll(ReplaceAll(config, "@DIR@", dir), "@PORT@", std::to_string(port_));
    WriteFileBytes(dir + "/nginx.conf", config);
    process_ = std::make_unique<ServerProcess>(
        std::vector<std::string>{nginx, "-e", dir + "/error.log", "-p", dir, "-c",
                                 dir + "/nginx.conf"},
        port_);
    if (!process_->Running()) problem_ = "nginx did not start: " + ReadIfThere(dir + "/error.log");
}

NginxFixture::~NginxFixture() {
    process_.reset();
}

std::string NginxFixture::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void NginxFixture::WriteDoc(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = std::filesystem::path(Dir()) / "www" / name;
    std::filesystem::create_directories(file.parent_path());
    WriteFileBytes(file.string(), bytes);
}

std::string NginxFixture::AccessLog() const {
    return ReadIfThere(Dir() + "/access.log");
}

bool NginxFixture::WaitForLog(const std::string& text, std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (AccessLog().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace kv::testing
