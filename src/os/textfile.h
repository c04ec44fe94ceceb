#pragma once

#include <string>

#include "os/exceptions.h"

namespace os {

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
