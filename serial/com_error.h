// EComPort: the one exception type of every serial failure, carrying the
// port's own error code (1..23, which selects a fixed message) and, for the
// failures of a system call, the system's error code (errno here).
#pragma once

#include <exception>
#include <string>

namespace serial {

// The port's error codes.
namespace ComError {
constexpr int OpenFailed = 1;
constexpr int WriteFailed = 2;
constexpr int ReadFailed = 3;
constexpr int InvalidAsync = 4;
constexpr int PurgeFailed = 5;
constexpr int AsyncCheckFailed = 6;
constexpr int SetStateFailed = 7;
constexpr int SetTimeoutsFailed = 8;
constexpr int SetupComFailed = 9;
constexpr int ClearComFailed = 10;
constexpr int ModemStatusFailed = 11;
constexpr int EscapeComFailed = 12;
constexpr int TransmitFailed = 13;
constexpr int ConnChangeProp = 14;
constexpr int EnumPortsFailed = 15;
constexpr int StoreFailed = 16;
constexpr int LoadFailed = 17;
constexpr int RegFailed = 18;
constexpr int LedStateFailed = 19;
constexpr int ThreadCreated = 20;
constexpr int WaitFailed = 21;
constexpr int HasLink = 22;
constexpr int RegError = 23;
}  // namespace ComError

class EComPort : public std::exception {
 public:
  // `win_error_code` is -1 for failures without a system code. The message is
  // the code's text, followed by " (win error code: %d)" for the codes whose
  // failures come from a system call. `port` names the port that failed to
  // open, for the user's explanation; it is not part of the message.
  explicit EComPort(int error_code, int win_error_code = -1, std::string port = {});

  int WinErrorCode() const { return win_error_code_; }
  int ErrorCode() const { return error_code_; }
  const std::string& PortName() const { return port_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int win_error_code_;
  int error_code_;
  std::string port_;
  std::string message_;
};

// The fixed text of an error code ("" outside 1..23).
const char* ComErrorText(int error_code);

}  // namespace serial
