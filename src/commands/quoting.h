#pragma once

// Names from the user's folders and fields must reach the tools exactly as
// they are and never run anything. A value made only of letters, digits and
// _ - . / , : = + @ % goes in as it is; any other value is quoted for each
// shell that reads it, innermost first.

#include <string>
#include <string_view>

namespace commands {

bool IsPlain(std::string_view value);

// For a shell that reads the value as a word: single quotes, each ' as '\''.
std::string QuoteForShell(std::string_view value);

// For text that stands between double quotes: \ before $ ` \ and ".
std::string EscapeForDoubleQuotes(std::string_view text);

// For a value inside the double-quoted command after "xterm -e": quoted for
// the shell that xterm starts, then escaped for the outer shell.
std::string QuoteInsideTerminal(std::string_view value);

} // namespace commands
