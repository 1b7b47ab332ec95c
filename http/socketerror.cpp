#include "http/socketerror.h"

#include "http/httpstrings.h"

namespace kv::http {

int WinSockErrorOf(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return kWsaConnectionRefused;
        case QAbstractSocket::RemoteHostClosedError:
            return 10054;
        case QAbstractSocket::HostNotFoundError:
            return kWsaHostNotFound;
        case QAbstractSocket::SocketAccessError:
            return 10013;
        case QAbstractSocket::SocketResourceError:
            return 10055;
        case QAbstractSocket::SocketTimeoutError:
            return kWsaTimedOut;
        case QAbstractSocket::DatagramTooLargeError:
            return 10040;
        case QAbstractSocket::NetworkError:
            return 10051;
        case QAbstractSocket::AddressInUseError:
            return 10048;
        case QAbstractSocket::SocketAddressNotAvailableError:
            return 10049;
        case QAbstractSocket::UnsupportedSocketOperationError:
            return 10045;
        case QAbstractSocket::UnfinishedSocketOperationError:
            return 10036;
        case QAbstractSocket::TemporaryError:
            return 10035;
        case QAbstractSocket::OperationError:
            return kWsaInvalidArgument;
        default:
            return kWsaUnknown;
    }
}

int WinSockErrorOf(QHostInfo::HostInfoError error) {
    switch (error) {
        case QHostInfo::NoError:
            return 0;
        case QHostInfo::HostNotFound:
            return kWsaHostNotFound;
        default:
            return 11003;
    }
}

std::string SocketErrorWithNumber(int code) {
    std::string text(SocketErrorDescription(code));
    text += kErrorNumberOpen;
    text += std::to_string(code);
    text += kErrorNumberClose;
    return text;
}

}  // namespace kv::http
