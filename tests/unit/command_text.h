#pragma once

// Comparing command texts. Users judge the program by the exact bytes that
// reach the tools, and two command lines often differ by one blank, so a
// mismatch shows both texts whole, their lengths and the first byte where
// they part.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace command_text {

// Control bytes, quotes and backslashes written so that blanks and tabs can
// be told apart in a failure message.
inline std::string Visible(std::string_view text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

inline std::string ByteAt(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return "the end of the text";
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(text[at]));
    return std::string(hex) + " " + Visible(text.substr(at, 1));
}

inline ::testing::AssertionResult SameText(const char* expectedExpr, const char* actualExpr,
                                           std::string_view expected, std::string_view actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return ::testing::AssertionFailure()
           << actualExpr << " differs from " << expectedExpr << " at byte " << at
           << ": expected " << ByteAt(expected, at) << ", got " << ByteAt(actual, at) << "\n"
           << "  expected (" << expected.size() << " bytes): " << Visible(expected) << "\n"
           << "  actual   (" << actual.size() << " bytes): " << Visible(actual);
}

// One composed text, what it should read and how many bytes that is.
struct ExactText {
    const char* what;
    std::string actual;
    std::string_view expected;
    std::size_t length;
};

inline void ExpectExact(const std::vector<ExactText>& cases)
{
    for (const ExactText& c : cases) {
        SCOPED_TRACE(c.what);
        // Guards the expected text itself against a slip in writing it down.
        EXPECT_EQ(c.expected.size(), c.length) << "expected text is not " << c.length << " bytes";
        EXPECT_PRED_FORMAT2(SameText, c.expected, c.actual);
    }
}

} // namespace command_text

#define EXPECT_SAME_TEXT(expected, actual) EXPECT_PRED_FORMAT2(::command_text::SameText, expected, actual)
