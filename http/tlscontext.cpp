#include "http/tlscontext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <filesystem>
#include <new>

#include "http/httperror.h"
#include "http/httpstrings.h"

namespace kv::http {

namespace {

// Sessions of this many peers at most: a run visits many sites, most of them once.
constexpr std::size_t kMaxSessions = 256;

// "http/1.1" as the one protocol offered, length-prefixed as the extension wants it.
constexpr unsigned char kAlpn[] = {8, 'h', 't', 't', 'p', '/', '1', '.', '1'};

// True when the folder holds certificates by subject hash ("1a2b3c4d.0"), so the library
// can look up an issuer by name.
bool HasHashedCertificates(const char* folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() >= 10 && name[8] == '.' &&
            name.find_first_not_of("0123456789abcdef") == 8) {
            return true;
        }
    }
    return false;
}

// The system's CA certificates, where the library's defaults (and SSL_CERT_DIR and
// SSL_CERT_FILE) put them. The folder is read an issuer at a time, as needed; the bundle file
// is read whole (some 20 ms), so only when the folder cannot stand in for it.
void LoadSystemStore(SSL_CTX* context) {
    const char* fileEnv = std::getenv(X509_get_default_cert_file_env());
    const char* dirEnv = std::getenv(X509_get_default_cert_dir_env());
    const char* folder = dirEnv ? dirEnv : X509_get_default_cert_dir();
    SSL_CTX_load_verify_dir(context, folder);
    if (fileEnv) {
        SSL_CTX_load_verify_file(context, fileEnv);
    } else if (dirEnv || !HasHashedCertificates(folder)) {
        SSL_CTX_load_verify_file(context, X509_get_default_cert_file());
    }
}

}  // namespace

TlsContext::TlsContext(const std::string& caFile) : context_(SSL_CTX_new(TLS_client_method())) {
    SSL_CTX* context = context_.get();
    if (!context) throw std::bad_alloc();  // the library fails here for want of memory only
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_alpn_protos(context, kAlpn, sizeof kAlpn);
    LoadSystemStore(context);
    ERR_clear_error();
    if (!caFile.empty() && SSL_CTX_load_verify_file(context, caFile.c_str()) != 1) {
        ERR_clear_error();
        throw HttpError(FormatText(kTlsBadCaFile, caFile));
    }
    SSL_CTX_set_app_data(context, this);
    SSL_CTX_set_session_cache_mode(context,
                                   SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(context, &TlsContext::OnNewSession);
}

SSL* TlsContext::Open(const std::string& peer) {
    SSL* ssl = SSL_new(context_.get());
    if (!ssl) return nullptr;
    SSL_set_app_data(ssl, const_cast<std::string*>(&peer));
    std::lock_guard lock(mutex_);
    if (auto found = sessions_.find(peer); found != sessions_.end()) {
        SSL_set_session(ssl, found->second.get());  // takes its own reference
    }
    return ssl;
}

int TlsContext::OnNewSession(SSL* ssl, SSL_SESSION* session) {
    auto* self = static_cast<TlsContext*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    const auto* peer = static_cast<const std::string*>(SSL_get_app_data(ssl));
    if (!self || !peer || !SSL_SESSION_is_resumable(session)) return 0;
    self->KeepSession(*peer, session);
    return 1;  // the reference is ours now
}

void TlsContext::KeepSession(const std::string& peer, SSL_SESSION* session) {
    std::lock_guard lock(mutex_);
    if (sessions_.size() >= kMaxSessions && !sessions_.contains(peer)) sessions_.clear();
    sessions_[peer] = Session(session);
}

std::shared_ptr<TlsContext> TlsContextFor(const std::string& caFile) {
    // Process-wide, like the host cache, and never destroyed: the library's own clean-up
    // may run first at exit.
    static std::mutex mutex;
    static auto* contexts = new std::map<std::string, std::shared_ptr<TlsContext>>();
    // The system store is where the environment says when the context is built.
    std::string key = caFile;
    for (const char* name : {X509_get_default_cert_file_env(), X509_get_default_cert_dir_env()}) {
        const char* value = std::getenv(name);
        key.append("\n").append(value ? value : "");
    }
    std::lock_guard lock(mutex);
    auto found = contexts->find(key);
    if (found == contexts->end()) {
        found = contexts->emplace(key, std::make_shared<TlsContext>(caFile)).first;
    }
    return found->second;
}

}  // namespace kv::http
