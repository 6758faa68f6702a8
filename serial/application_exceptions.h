// Where the serial component sends an exception that has no caller to go to:
// the open at the end of loading, and an event step run from the hidden
// receiver (smWindowSync). The shell installs the handler that shows the
// error to the user; until then the text goes to stderr.
#pragma once

#include <exception>
#include <functional>

namespace serial {

using ApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs the handler (an empty function restores the stderr default).
// Call from the GUI thread, before any port opens.
void SetApplicationExceptionHandler(ApplicationExceptionHandler handler);

// Hands `error` to the handler; never throws.
void HandleApplicationException(const std::exception_ptr& error) noexcept;

}  // namespace serial
