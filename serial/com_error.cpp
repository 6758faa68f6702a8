#include "serial/com_error.h"

#include <cstdio>
#include <utility>

namespace serial {

namespace {

struct ErrorEntry {
  const char* text;
  bool has_system_code;
};

constexpr ErrorEntry kErrors[] = {
    {"Unable to open com port", true},
    {"WriteFile function failed", true},
    {"ReadFile function failed", true},
    {"Invalid Async parameter", false},
    {"PurgeComm function failed", true},
    {"Unable to get async status", true},
    {"SetCommState function failed", true},
    {"SetCommTimeouts failed", true},
    {"SetupComm function failed", true},
    {"ClearCommError function failed", true},
    {"GetCommModemStatus function failed", true},
    {"EscapeCommFunction function failed", true},
    {"TransmitCommChar function failed", true},
    {"Cannot set property while connected", false},
    {"EnumPorts function failed", false},
    {"Failed to store settings", false},
    {"Failed to load settings", false},
    {"Link (un)registration failed", false},
    {"Cannot change led state if ComPort is selected", false},
    {"Cannot wait for event if event thread is created", false},
    {"WaitForEvent method failed", true},
    {"A component is linked to OnRxBuf event", false},
    {"Registry error", true},
};

const ErrorEntry* Entry(int code) {
  if (code < 1 || code > static_cast<int>(std::size(kErrors))) return nullptr;
  return &kErrors[code - 1];
}

}  // namespace

const char* ComErrorText(int error_code) {
  const ErrorEntry* e = Entry(error_code);
  return e ? e->text : "";
}

EComPort::EComPort(int error_code, int win_error_code, std::string port)
    : win_error_code_(win_error_code),
      error_code_(error_code),
      port_(std::move(port)),
      message_(ComErrorText(error_code)) {
  const ErrorEntry* e = Entry(error_code);
  if (e && e->has_system_code) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, " (win error code: %d)", win_error_code);
    message_ += suffix;
  }
}

}  // namespace serial
