#include "commands/quoting.h"

namespace commands {

bool IsPlain(std::string_view value)
{
    // An empty value put in bare leaves no word at all, and the tool takes the
    // next option in its place.
    if (value.empty())
        return false;
    for (unsigned char c : value) {
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && std::string_view("_-./,:=+@%").find(static_cast<char>(c)) == std::string_view::npos)
            return false;
    }
    return true;
}

std::string QuoteForShell(std::string_view value)
{
    if (IsPlain(value))
        return std::string(value);
    std::string out = "'";
    for (char c : value) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string EscapeForDoubleQuotes(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '$' || c == '`' || c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

std::string QuoteInsideTerminal(std::string_view value)
{
    return EscapeForDoubleQuotes(QuoteForShell(value));
}

} // namespace commands
