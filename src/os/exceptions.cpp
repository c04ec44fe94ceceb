#include "os/exceptions.h"

#include <cerrno>

namespace os {

Exception::Exception(const std::string& message) : std::runtime_error(message) {}

EInOutError::EInOutError(const std::string& message) : Exception(message)
{
    // Kept out of line so that this is the code that asked for the error,
    // which the start-up failure report prints.
    address_ = __builtin_return_address(0);
}

// The texts are fixed and never translated: the error box and the start-up
// failure report show them as they are.
std::string IoErrorMessage(int error)
{
    switch (error) {
    case ENOENT:
        return "File not found";
    case EACCES:
    case EISDIR:
        return "Access denied";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EIO:
        return "Disk Full";
    case EBADF:
        return "File not open";
    default:
        // No strerror: its text follows the locale that the toolkit sets.
        return "I/O error " + std::to_string(error);
    }
}

} // namespace os
