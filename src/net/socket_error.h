#pragma once

#include <string>

#include "platform/error.h"

namespace corvalo::net {

// A failure of the socket layer; what() is the text the user sees
// ("10061:Connection refused", "Connection Failed", "Null Remote Address").
class SocketError : public corvalo::Error {
  public:
    using corvalo::Error::Error;
};

// A transfer ended by Cancel or by the time-out ("Socket readln aborted").
class TransferAborted : public SocketError {
  public:
    using SocketError::SocketError;
};

// Socket error codes in the numbering the error texts are keyed by.
inline constexpr int kSocketErrorBase = 10000;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotConnected = 10057;
inline constexpr int kHostNotFound = 11001;
// An OS error with no socket code: EIO (5) -> 20005, above every socket code.
inline constexpr int kUnmappedErrnoBase = 20000;

// errno -> socket code: ECONNREFUSED -> 10061, EAGAIN -> 10035, EIO -> 20005.
int socketErrorFromErrno(int err);

// errno after a failed socket call, as a socket code; EINTR reads as "would block",
// so the call is tried again.
int lastSocketError();

// 10061 -> "10061:Connection refused"; 12345 -> "Unknown Error No. 12345".
std::string lookupErrorMessage(int code);

}  // namespace corvalo::net
