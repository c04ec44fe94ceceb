#pragma once

// Plain-text helpers that the commands and the window layer both need.

#include <string>
#include <string_view>

namespace text {

// Only "a" to "z" become "A" to "Z": the speed and combo box comparisons fold
// nothing else, whatever the locale.
inline std::string AsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace text
