#include "serial/application_exceptions.h"

#include <cstdio>
#include <utility>

namespace serial {

namespace {

ApplicationExceptionHandler& Handler() {
  static ApplicationExceptionHandler handler;
  return handler;
}

void PrintToStderr(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvanta: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "orvanta: unknown exception\n");
  }
}

}  // namespace

void SetApplicationExceptionHandler(ApplicationExceptionHandler handler) { Handler() = std::move(handler); }

void HandleApplicationException(const std::exception_ptr& error) noexcept {
  try {
    if (Handler())
      Handler()(error);
    else
      PrintToStderr(error);
  } catch (...) {
    PrintToStderr(std::current_exception());
  }
}

}  // namespace serial
