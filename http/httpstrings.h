// The user-visible texts of the HTTP folder, in one place. Code elsewhere refers to these
// names and never spells the texts again. Tests: tests/http/*_test.cpp compare against them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "text/format.h"

namespace kv::http {

using text::FormatText;

// Exchange engine.
inline constexpr std::string_view kHttpComponentBusy = "HTTP component is busy";
inline constexpr std::string_view kHttpLineTooLong = "HTTP line too long";
// A reply head that never ends must not exhaust memory.
inline constexpr std::string_view kHttpHeaderTooLarge = "HTTP header too large";
// "%s" is the limit in MiB.
inline constexpr std::string_view kHttpBodyTooLarge = "HTTP reply body larger than %s MiB";
// "%s" is the limit of redirects followed.
inline constexpr std::string_view kHttpTooManyRedirects = "Maximum (%s) redirects followed";
// "%s" is the address named by the Location field.
inline constexpr std::string_view kHttpUnsupportedRedirect =
    "can't follow redirect to unsupported address %s";
// A request head never carries a line break or NUL from an address, a reply or a local
// file. "%s" is the name of the header field that would have held it.
inline constexpr std::string_view kHttpUnsafeHeaderValue =
    "refused to send the %s header field: its value holds a CR, LF or NUL byte";
inline constexpr std::string_view kHttpBadHostName =
    "refused to send a request: the host name holds characters no host name has";
inline constexpr std::string_view kHttpClosedBeforeHead =
    "connection closed before the reply head ended";

// Reply bodies: chunked transfer coding ("%s" is one of the problems below), compressed
// content, and a body that ended early.
inline constexpr std::string_view kHttpBadChunked = "malformed chunked reply body: %s";
inline constexpr std::string_view kChunkBadSizeLine = "bad chunk size line";
inline constexpr std::string_view kChunkSizeLineTooLong = "chunk size line too long";
inline constexpr std::string_view kChunkSizeTooLarge = "chunk size too large";
inline constexpr std::string_view kChunkNoLineEnd = "no line end after a chunk";
inline constexpr std::string_view kChunkTrailerTooLong = "trailer too long";
inline constexpr std::string_view kHttpBadCompressedBody = "damaged gzip/deflate reply body";
inline constexpr std::string_view kHttpBodyCutShort = "HTTP reply body cut short";
// "%s" is the Content-Encoding value.
inline constexpr std::string_view kHttpUnsupportedEncoding = "unsupported content encoding %s";

// TLS failures; "%s" is the host name (and, where a second one stands, the TLS library's
// own words).
inline constexpr std::string_view kTlsExpired = "TLS: the certificate of %s has expired";
inline constexpr std::string_view kTlsNotYetValid = "TLS: the certificate of %s is not yet valid";
inline constexpr std::string_view kTlsWrongHost =
    "TLS: the certificate presented is not valid for the host name %s";
inline constexpr std::string_view kTlsSelfSigned =
    "TLS: the certificate of %s is self-signed and not trusted";
inline constexpr std::string_view kTlsUnknownIssuer =
    "TLS: the certificate of %s is issued by an unknown authority";
inline constexpr std::string_view kTlsUntrusted = "TLS: the certificate of %s is not trusted (%s)";
inline constexpr std::string_view kTlsHandshakeFailed = "TLS: handshake with %s failed (%s)";
inline constexpr std::string_view kTlsBroken = "TLS: the connection with %s failed (%s)";
// "%s" is the CA file setting.
inline constexpr std::string_view kTlsBadCaFile = "TLS: no CA certificate could be read from %s";

// Connect step: "can't connect: " + description + " (Error #" + number + ")".
inline constexpr std::string_view kCantConnect = "can't connect: ";
inline constexpr std::string_view kErrorNumberOpen = " (Error #";
inline constexpr std::string_view kErrorNumberClose = ")";

// Name resolution (used by the timed client); "%s" is the name or address.
inline constexpr std::string_view kCantResolveHostname =
    "can't resolve hostname (%s) to IP address";
inline constexpr std::string_view kCantResolveAddress = "can't resolve IP address (%s) to hostname";

// Credential prompt captions: the label of the site that asked.
inline constexpr std::string_view kAuthCaptionServer = "Server:";
inline constexpr std::string_view kAuthCaptionFirewall = "Firewall:";
// The terminal's credential prompt: the caption, the site and the realm, then the questions
// ("%s" in the first is the user name asked before).
inline constexpr std::string_view kAuthPromptHeader =
    "\nAuthentication required\n%s %s\nRealm: %s\n";
inline constexpr std::string_view kAuthAskUserName = "User name [%s]: ";
inline constexpr std::string_view kAuthAskPassword = "Password: ";
inline constexpr std::string_view kAuthAskSave = "Save the password (y/N)? ";

// Page fetch: the failure log lines. Each but the cancel is followed by the details.
inline constexpr std::string_view kFetchNotRetrieved = "This page was not retrieved properly. ";
inline constexpr std::string_view kFetchConnectionError = "Connection error: ";
inline constexpr std::string_view kFetchTimedOut = "Connection timed out. ";
inline constexpr std::string_view kFetchCanceled = "Canceled by user. ";
inline constexpr std::string_view kFetchPageDeadline = "The page took longer than %s seconds. ";
// The details of a failed fetch: proxy, port, user agent, address, referrer.
inline constexpr std::string_view kFetchDetails =
    "Proxy: %s. Port: %s. UserAgent: %s. URL: %s. Referrer: %s";

// Cookies.
inline constexpr std::string_view kNoTimeZoneInformation =
    "Failed attempting to retrieve time zone information.";

// The description of a Windows Sockets error number; "Not a WinSock error" for others.
std::string_view SocketErrorDescription(int code);

}  // namespace kv::http
