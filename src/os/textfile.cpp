#include "os/textfile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace os {

namespace {

// Large enough that the small tool outputs we read need one or two reads;
// lines longer than this are simply assembled across refills.
constexpr std::size_t kBufferSize = 4096;

} // namespace

TextFile::TextFile(std::string name) : name_(std::move(name)) {}

TextFile::~TextFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TextFile::Reset()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    buffer_.clear();
    pos_ = 0;

    int fd;
    do
        fd = ::open(name_.c_str(), O_RDONLY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError(IoErrorMessage(errno));
    fd_ = fd;
}

bool TextFile::Fill()
{
    if (fd_ < 0)
        throw EInOutError(IoErrorMessage(EBADF));
    buffer_.resize(kBufferSize);
    pos_ = 0;
    ssize_t got;
    do
        got = ::read(fd_, buffer_.data(), buffer_.size());
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        const int error = errno;
        buffer_.clear();
        throw EInOutError(IoErrorMessage(error));
    }
    buffer_.resize(static_cast<std::size_t>(got));
    return got > 0;
}

bool TextFile::Eof()
{
    if (pos_ < buffer_.size())
        return false;
    return !Fill();
}

std::string TextFile::ReadLine()
{
    std::string line;
    for (;;) {
        if (pos_ == buffer_.size() && !Fill())
            return line; // a last line without its end, or nothing at all
        const std::size_t end = buffer_.find_first_of("\r\n", pos_);
        if (end == std::string::npos) {
            line.append(buffer_, pos_, std::string::npos);
            pos_ = buffer_.size();
            continue;
        }
        line.append(buffer_, pos_, end - pos_);
        pos_ = end + 1;
        if (buffer_[end] == '\n')
            return line;
        break;
    }
    // A CR: its LF, if any, may be the first byte of the next fill.
    if (pos_ == buffer_.size() && !Fill())
        return line;
    if (buffer_[pos_] == '\n')
        ++pos_;
    return line;
}

void TextFile::Close()
{
    if (fd_ < 0)
        return; // a cleanup step may close a file whose open failed
    const int fd = std::exchange(fd_, -1);
    buffer_.clear();
    pos_ = 0;
    // Linux frees the descriptor even when close reports EINTR; retrying
    // could close one that another open has since been given.
    if (::close(fd) != 0 && errno != EINTR)
        throw EInOutError(IoErrorMessage(errno));
}

} // namespace os
