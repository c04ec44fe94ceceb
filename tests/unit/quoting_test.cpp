// Names from the user must reach the tools exactly as typed and never run
// anything. Each quoting form is checked the only way that counts: by handing
// the quoted text to real shells, as many of them as read it in the program,
// and reading back the words that printf was given.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "command_text.h"
#include "commands/quoting.h"
#include "shell_harness.h"

using namespace commands;
using command_text::Visible;

namespace {

// Values that a shell would split, expand, run or glob if they went in bare,
// and the empty one, which would vanish. The "touch pwned" ones leave a file
// behind in the working directory if they ever run.
const std::vector<std::string> kTrickyValues = {
    "",
    "my files",
    "it's $HOME `x`.txt",
    "Bob's disc",
    "a\"b",
    "back\\slash",
    "trailing\\",
    "back\\\nslash-newline",
    "$(touch pwned)",
    "`touch pwned`",
    "\"$(touch pwned)\"",
    "'$(touch pwned)'",
    "x'; touch pwned; '",
    "x\"; touch pwned; \"",
    "semi;colon",
    "a|touch pwned",
    "a&&touch pwned&",
    "a>b<c",
    "tab\there",
    "new\nline",
    "*.iso",
    "*",
    "[ab]?",
    "~user",
    "~",
    "$HOME",
    "${HOME}",
    "$'\\n'",
    "!bang",
    "#hash",
    "a#b",
    "'",
    "''",
    "\\'",
    "a'\"'b",
    "  lead and  double  blanks ",
    "{a,b}",
    "caf\xC3\xA9",
    "(sub)",
    "-dash with blank",
};

// Values that need no quoting: the everyday command texts keep their exact bytes.
const std::vector<std::string> kPlainValues = {
    "no_name", "/home", "/home/user/backup.iso", "0,0,0", "-dash", "100%", "%s",
    "a-b.c", "x=y+z@w%", "ABCxyz019", ":", "/dev/cdrom",
};

// The shell's environment: HOME points nowhere, so an expansion that slips
// through changes the value and shows.
std::vector<std::string> Environment()
{
    return {"PATH=/usr/bin:/bin", "HOME=/nonexistent-home", "LC_ALL=C"};
}

// Brackets the value's words so that a value that vanished or split shows.
constexpr std::string_view kPrint = "printf '%s\\0' BEGIN ";

std::vector<std::string> Bracketed(std::vector<std::string> words)
{
    words.insert(words.begin(), "BEGIN");
    words.push_back("END");
    return words;
}

class Quoting : public ::testing::Test {
protected:
    shell_harness::TempDir dir;
    std::string out = dir / "out";
    std::string pwned = dir / "pwned";

    // Runs the line in the temporary directory and gives the words written to
    // "out"; fails the test when the shell did not end cleanly or when
    // anything in the value ran.
    std::vector<std::string> Run(const std::string& line)
    {
        std::remove(out.c_str());
        const int status = shell_harness::RunShell(line, dir.path(), Environment());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "shell status " << status << " for " << Visible(line);
        EXPECT_FALSE(shell_harness::Exists(pwned)) << "a command in the value ran: " << Visible(line);
        std::remove(pwned.c_str());
        return shell_harness::ReadWords(out).value_or(std::vector<std::string>{"<no output file>"});
    }
};

TEST(QuotingRule, PlainValuesAreInsertedUnchanged)
{
    for (const std::string& v : kPlainValues) {
        SCOPED_TRACE(Visible(v));
        EXPECT_TRUE(IsPlain(v));
        EXPECT_SAME_TEXT(v, QuoteForShell(v));
        EXPECT_SAME_TEXT(v, QuoteInsideTerminal(v));
        EXPECT_SAME_TEXT(v, QuoteForShell(QuoteForShell(v)));
    }
}

// An empty value bare would leave no word at all; quoted, it is the shortest
// empty word at each layer.
TEST(QuotingRule, EmptyValueIsAnEmptyWordForEveryShellThatReadsIt)
{
    command_text::ExpectExact({
        {"one shell", QuoteForShell(""), "''", 2},
        {"inside the terminal's double quotes", QuoteInsideTerminal(""), "''", 2},
        {"the Make ISO title, read by both shells", QuoteForShell(QuoteForShell("")), "''\\'''\\'''", 10},
    });
}

TEST(QuotingRule, EveryByteOutsideThePlainSetMakesAValueNeedQuoting)
{
    const std::string_view plainPunctuation = "_-./,:=+@%";
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           plainPunctuation.find(c) != std::string_view::npos;
        const std::string v = std::string("a") + c + "b";
        SCOPED_TRACE(Visible(v));
        EXPECT_EQ(plain, IsPlain(v));
        if (!plain) {
            EXPECT_NE(v, QuoteForShell(v));
        }
    }
}

TEST(QuotingRule, TrickyValuesAreNotPlain)
{
    for (const std::string& v : kTrickyValues) {
        SCOPED_TRACE(Visible(v));
        EXPECT_FALSE(IsPlain(v));
    }
}

// The Track-size query: one shell reads the folder.
TEST_F(Quoting, ShellQuotedValueReachesTheCommandAsOneWord)
{
    for (const std::string& v : kTrickyValues) {
        SCOPED_TRACE(Visible(v));
        const std::vector<std::string> words =
            Run(std::string(kPrint) + QuoteForShell(v) + " END >" + out);
        EXPECT_EQ(Bracketed({v}), words);
    }
}

// Burn, Make ISO and Open ISO and burn: the outer shell reads the text after
// "-e" between double quotes, then the shell that xterm starts reads the
// result.
TEST_F(Quoting, TerminalQuotedValueSurvivesBothShells)
{
    for (const std::string& v : kTrickyValues) {
        SCOPED_TRACE(Visible(v));
        const std::string line = "sh -c \"" + std::string(kPrint) + QuoteInsideTerminal(v) + " END >" + out + "\"";
        EXPECT_EQ(Bracketed({v}), Run(line));
    }
}

// The Make ISO title stands between the template's own double quotes, which
// close and reopen the outer quotation: the outer shell reads it bare.
TEST_F(Quoting, MakeIsoTitleSurvivesTheOuterShellOutsideItsQuotes)
{
    for (const std::string& v : kTrickyValues) {
        SCOPED_TRACE(Visible(v));
        const std::string line =
            "sh -c \"printf '%s\\0' -V \"" + QuoteForShell(QuoteForShell(v)) + "\" -T >" + out + "\"";
        EXPECT_EQ((std::vector<std::string>{"-V", v, "-T"}), Run(line));
    }
}

// The image burn's window title: read once, between double quotes.
TEST_F(Quoting, WindowTitleSurvivesDoubleQuotes)
{
    for (const std::string& v : kTrickyValues) {
        SCOPED_TRACE(Visible(v));
        const std::string line = "printf '%s\\0' \"Burn " + EscapeForDoubleQuotes(v) + "\" >" + out;
        EXPECT_EQ((std::vector<std::string>{"Burn " + v}), Run(line));
    }
}

// Plain values go in bare, so they must come out of both shells unchanged too.
TEST_F(Quoting, PlainValuesSurviveBothShellsBare)
{
    for (const std::string& v : kPlainValues) {
        SCOPED_TRACE(Visible(v));
        const std::vector<std::string> expected = Bracketed({v});
        EXPECT_EQ(expected, Run(std::string(kPrint) + QuoteForShell(v) + " END >" + out));
        EXPECT_EQ(expected,
                  Run("sh -c \"" + std::string(kPrint) + QuoteInsideTerminal(v) + " END >" + out + "\""));
    }
}

} // namespace
