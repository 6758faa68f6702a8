// Takes what reaches the application exception handler (the error box of the
// program) while in scope, and puts the default handler back when it goes,
// however the test ends.
#pragma once

#include "serial/application_exceptions.h"

#include <exception>
#include <string>
#include <vector>

namespace testing_support {

class ReportedExceptions {
 public:
  ReportedExceptions() {
    serial::SetApplicationExceptionHandler([this](std::exception_ptr e) { errors.push_back(e); });
  }
  ~ReportedExceptions() { serial::SetApplicationExceptionHandler(nullptr); }
  ReportedExceptions(const ReportedExceptions&) = delete;
  ReportedExceptions& operator=(const ReportedExceptions&) = delete;

  // The text of the last one; empty when none came.
  std::string last_message() const {
    if (errors.empty()) return {};
    try {
      std::rethrow_exception(errors.back());
    } catch (const std::exception& e) {
      return e.what();
    } catch (...) {
      return "(not a std::exception)";
    }
  }

  std::vector<std::exception_ptr> errors;
};

}  // namespace testing_support
