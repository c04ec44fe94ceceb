#include "commands/operations.h"

#include <array>

#include "commands/fragments.h"
#include "commands/quoting.h"

namespace commands {

namespace {

// "-T" inside these pipelines is mkisofs's own option, not the terminal's title.
constexpr ToolTemplate kCdFolderBurn{
    "mkisofs -R -V %s -T -J %s %s | cdrecord -v -tao -eject dev=%s %s %s -",
    "./mkisofs -R -V %s -T -J %s %s | ./cdrecord -v -tao -eject dev=%s %s %s -"};
// dvd_cdrecord is never looked for in the program's folder.
constexpr ToolTemplate kDvdFolderBurn{
    "mkisofs -R -V %s -T -J %s %s | dvd_cdrecord -v -dao -eject -tsize=%ss dev=%s %s %s -",
    "./mkisofs -R -V %s -T -J %s %s | dvd_cdrecord -v -dao -eject -tsize=%ss dev=%s %s %s -"};

// The title's quotes close and reopen the quotation after "-e".
constexpr ToolTemplate kMakeImage{
    "mkisofs -o %s -R -V \"%s\" -T -J %s %s",
    "./mkisofs -o %s -R -V \"%s\" -T -J %s %s"};

constexpr ToolTemplate kCdImageBurn{
    "cdrecord -v %s -tao dev=%s %s %s",
    "./cdrecord -v %s -tao dev=%s %s %s"};
constexpr std::string_view kDvdImageBurn = "dvd_cdrecord -v %s -dao -eject -tsize=%ss dev=%s %s %s";

// The erase options follow the device directly.
constexpr ToolTemplate kErase{"cdrecord dev=", "./cdrecord dev="};
constexpr std::array<std::string_view, 9> kEraseOptions{
    " -v blank=fast ",
    " -v blank=all ",
    " -v blank=fast -force ",
    " -v blank=all -force ",
    " -v blank=track ",
    " -v blank=unreserve ",
    " -v blank=trtrail ",
    " -v blank=unclose ",
    " -v blank=session ",
};

constexpr std::string_view kFormat = "dvd+rw-format -lead-out %s";

constexpr std::string_view kTerminal = "xterm";
constexpr std::string_view kHold = " -hold";
constexpr std::string_view kTitle = " -T ";
constexpr std::string_view kRun = " -e ";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kProgramTitle = "Tarvelin";
constexpr std::string_view kImageBurnTitle = "Burn ";

// How xterm is asked to show a command.
struct Terminal {
    bool hold = false;          // the window stays, after the command, until the user closes it
    std::string_view title;     // none when empty
    // In double quotes the command is one word, which xterm hands to a shell;
    // bare, its words are the program xterm starts and its arguments.
    bool commandInQuotes = false;
};

std::string TerminalLine(const Terminal& terminal, std::string_view command)
{
    std::string line(kTerminal);
    if (terminal.hold)
        line += kHold;
    // Only the outer shell reads the title.
    if (!terminal.title.empty())
        line.append(kTitle).append(kQuote).append(EscapeForDoubleQuotes(terminal.title)).append(kQuote);
    line += kRun;
    if (terminal.commandInQuotes)
        return line.append(kQuote).append(command).append(kQuote);
    return line.append(command);
}

} // namespace

Medium MediumFromIndex(int itemIndex)
{
    switch (itemIndex) {
    case 0: return Medium::CD;
    case 1: return Medium::DVD;
    default: return Medium::Neither;
    }
}

std::string BurnFolderCommand(const FolderBurn& b, Medium medium)
{
    const std::string title = QuoteInsideTerminal(b.title);
    const std::string folder = QuoteInsideTerminal(b.folder);
    switch (medium) {
    case Medium::CD:
        return Fill(kCdFolderBurn.Pick(b.toolsInProgramFolder),
                    {title, b.imageOptions, folder, b.device, b.speed, b.burnArgument});
    case Medium::DVD:
        return Fill(kDvdFolderBurn.Pick(b.toolsInProgramFolder),
                    {title, b.imageOptions, folder, b.trackSize, b.device, b.speed, b.burnArgument});
    case Medium::Neither:
        break;
    }
    return "";
}

std::string BurnFolderTerminalLine(std::string_view command)
{
    return TerminalLine({.hold = true, .title = kProgramTitle, .commandInQuotes = true}, command);
}

std::string MakeImageCommand(const ImageFile& image)
{
    // The title stands outside the quotation, so the outer shell reads it
    // too: quote it for the shell xterm starts, then once more for the outer one.
    return Fill(kMakeImage.Pick(image.toolsInProgramFolder),
                {QuoteInsideTerminal(image.path), QuoteForShell(QuoteForShell(image.title)),
                 image.imageOptions, QuoteInsideTerminal(image.folder)});
}

std::string MakeImageTerminalLine(std::string_view command)
{
    return TerminalLine({.title = kProgramTitle, .commandInQuotes = true}, command);
}

std::string BurnImageCommand(const ImageBurn& b, Medium medium)
{
    const std::string path = QuoteInsideTerminal(b.path);
    switch (medium) {
    case Medium::CD:
        return Fill(kCdImageBurn.Pick(b.toolsInProgramFolder), {b.speed, b.device, path, b.burnArgument});
    case Medium::DVD:
        return Fill(kDvdImageBurn, {b.speed, b.trackSize, b.device, path, b.burnArgument});
    case Medium::Neither:
        break;
    }
    return "";
}

std::string BurnImageTerminalLine(std::string_view imageFileName, std::string_view command)
{
    const std::string title = std::string(kImageBurnTitle).append(imageFileName);
    return TerminalLine({.title = title, .commandInQuotes = true}, command);
}

std::string EraseCommand(bool toolsInProgramFolder, std::string_view device, int eraseMode)
{
    std::string command(kErase.Pick(toolsInProgramFolder));
    command += device;
    if (eraseMode >= 0 && eraseMode < static_cast<int>(kEraseOptions.size()))
        command += kEraseOptions[static_cast<std::size_t>(eraseMode)];
    return command;
}

std::string EraseTerminalLine(std::string_view command)
{
    return TerminalLine({.title = kProgramTitle}, command);
}

std::string FormatCommand(std::string_view dvdDevice)
{
    return Fill(kFormat, {dvdDevice});
}

std::string FormatTerminalLine(std::string_view command)
{
    return TerminalLine({}, command);
}

} // namespace commands
