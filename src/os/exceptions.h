#pragma once

#include <stdexcept>
#include <string>

namespace os {

// The run-time's general exception: what the creation failure report and the
// error box show is its class name and its message.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message);
    virtual const char* ClassName() const { return "Exception"; }
    // Where in the program it was raised, for the start-up failure report.
    const void* Address() const { return address_; }

protected:
    const void* address_ = nullptr;
};

// Raised by the text file operations, with fixed, never translated messages.
class EInOutError : public Exception {
public:
    [[gnu::noinline]] explicit EInOutError(const std::string& message);
    const char* ClassName() const override { return "EInOutError"; }
};

// The fixed message of the I/O error that a failed file operation meets.
std::string IoErrorMessage(int error);

} // namespace os
