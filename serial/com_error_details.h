// What the error box says under a port's own message, in French: the port's
// message is kept word for word (its English text and its Windows wording),
// so these lines tell a Linux user which port it was, what the system's code
// means and, for the usual failures to open, what to do.
#pragma once

#include "serial/com_error.h"

#include <string>

namespace serial {

// The system's own description of `system_error` in French (UTF-8): the C
// library's text in a French locale where one is installed, else ours for
// the codes a port commonly fails with, else the C library's text as it is.
std::string FrenchSystemErrorText(int system_error);

// The lines under the message, joined by "\n": the port's name when the
// failure has one, the system's code with its description, and one line of
// advice for a failure to open that a user can mend. Empty for a failure
// without a system code.
std::string ComErrorDetails(const EComPort& error);

}  // namespace serial
