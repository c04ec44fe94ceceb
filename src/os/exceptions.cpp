#include "os/exceptions.h"

namespace os {

Exception::Exception(const std::string& message) : std::runtime_error(message) {}

EInOutError::EInOutError(const std::string& message) : Exception(message)
{
    // Kept out of line so that this is the code that asked for the error,
    // which the start-up failure report prints.
    address_ = __builtin_return_address(0);
}

} // namespace os
