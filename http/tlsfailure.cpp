#include "http/tlsfailure.h"

#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include "http/httpstrings.h"

namespace kv::http {

std::string TlsFailureReason(long verifyResult, const std::string& host,
                             const std::string& detail) {
    switch (verifyResult) {
        case X509_V_OK:
            return FormatText(kTlsHandshakeFailed, {host, detail});
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return FormatText(kTlsExpired, host);
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return FormatText(kTlsNotYetValid, host);
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return FormatText(kTlsWrongHost, host);
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return FormatText(kTlsSelfSigned, host);
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_CERT_UNTRUSTED:
            return FormatText(kTlsUnknownIssuer, host);
        default:
            return FormatText(kTlsUntrusted, {host, X509_verify_cert_error_string(verifyResult)});
    }
}

std::string TlsLibraryError() {
    unsigned long code = 0, last = 0;
    while ((code = ERR_get_error()) != 0) last = code;
    if (last == 0) return "";
    const char* reason = ERR_reason_error_string(last);
    return reason ? reason : "error " + std::to_string(last);
}

}  // namespace kv::http
