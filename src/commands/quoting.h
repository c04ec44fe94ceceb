#pragma once

// What goes into a command line quoted, and what goes in as the user wrote it.
//
// Quoted: the folder, the volume title and the image path. They name files
// and discs, and must reach mkisofs or the recorder byte for byte as one
// argument each, an empty one included, without ever running anything. A
// value made only of letters, digits and _ - . / , : = + @ % needs no quoting
// and goes in as it is; any other value, and the empty one, is quoted for
// each shell that reads it, innermost first.
//
// As written, on purpose: the device (from the drive list), the speed, the
// device field of "Format DVDRW" and the fixed options (image options,
// "driveropts=burnproof", the erase modes), and the track size as mkisofs
// printed it. These are words of the tool's own command line, which the
// user types for the tool: a blank in them separates words, as the user
// who typed it expects.

#include <string>
#include <string_view>

namespace commands {

// True for a non-empty value that every shell reads back as one word unchanged.
bool IsPlain(std::string_view value);

// For a shell that reads the value as a word: single quotes, each ' as '\''.
std::string QuoteForShell(std::string_view value);

// For text that stands between double quotes: \ before $ ` \ and ".
std::string EscapeForDoubleQuotes(std::string_view text);

// For a value inside the double-quoted command after "xterm -e": quoted for
// the shell that xterm starts, then escaped for the outer shell.
std::string QuoteInsideTerminal(std::string_view value);

} // namespace commands
