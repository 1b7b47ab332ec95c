// Socket and resolver errors as Windows Sockets error numbers, so that messages keep the
// numbers and texts users and logs know (connection refused = 10061, host not found = 11001).
// Tests: tests/http/replyhead_test.cpp.
#pragma once

#include <QAbstractSocket>
#include <QHostInfo>
#include <string>

namespace kv::http {

inline constexpr int kWsaInvalidArgument = 10022;
inline constexpr int kWsaTimedOut = 10060;
inline constexpr int kWsaConnectionRefused = 10061;
inline constexpr int kWsaHostNotFound = 11001;
inline constexpr int kWsaNoData = 11004;
// Qt reports an error it cannot classify; no WinSock number fits, so it reads as such.
inline constexpr int kWsaUnknown = 10000;

int WinSockErrorOf(QAbstractSocket::SocketError error);
int WinSockErrorOf(QHostInfo::HostInfoError error);

// description + " (Error #" + number + ")"
std::string SocketErrorWithNumber(int code);

}  // namespace kv::http
