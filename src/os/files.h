#pragma once

#include <string>

namespace os {

// None of these raise; their failures show only in their results.
bool FileExists(const std::string& name);      // stat, links followed
bool DeleteFile(const std::string& name);      // unlink
bool SetCurrentDir(const std::string& dir);    // the empty text changes nothing

// The running program's file, from "/proc/self/exe"; empty when unreadable.
std::string ExecutablePath();

// Up to and including the last "/", "\" or ":"; empty when there is none.
std::string ExtractFilePath(const std::string& path);
// What follows the last "/", "\" or ":" (at most 255 bytes); the whole path when there is none.
std::string ExtractFileName(const std::string& path);

} // namespace os
