#pragma once

#include <cstdint>
#include <string>

namespace os {

// These three never raise; their failures show only in their results.
bool FileExists(const std::string& name);      // stat, links followed
bool DeleteFile(const std::string& name);      // unlink
bool SetCurrentDir(const std::string& dir);    // the empty text changes nothing

// The size in bytes of the file the name opens. A file that cannot be opened,
// or a folder, raises EInOutError with the message a text file would give.
std::uint64_t FileSize(const std::string& name);

// The running program's file, from "/proc/self/exe"; empty when unreadable.
std::string ExecutablePath();

// Up to and including the last "/", "\" or ":"; empty when there is none.
std::string ExtractFilePath(const std::string& path);
// What follows the last "/", "\" or ":" (at most 255 bytes); the whole path when there is none.
std::string ExtractFileName(const std::string& path);
// From the last "." of the file name on; empty when the name has none.
std::string ExtractFileExt(const std::string& path);

} // namespace os
