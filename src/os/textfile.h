#pragma once

#include <string>
#include <stdexcept>

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

// A text file read line by line. A line ends at LF, CR LF or a lone CR; the
// bytes between are kept as they are, whatever their length.
class TextFile {
public:
    explicit TextFile(std::string name);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    void Reset();              // open for reading; raises EInOutError
    bool Eof();                // true when no byte is left; raises EInOutError
    std::string ReadLine();    // the next line without its end; raises EInOutError
    void Close();

private:
    bool Fill();               // refill the buffer; false at the end of the file

    std::string name_;
    int fd_ = -1;
    std::string buffer_;
    std::size_t pos_ = 0;
};

} // namespace os
