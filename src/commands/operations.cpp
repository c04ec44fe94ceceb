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

constexpr std::string_view kHeldTerminal = "xterm -hold -T \"Tarvelin\" -e \"";
constexpr std::string_view kTitledTerminal = "xterm -T \"Tarvelin\" -e \"";
constexpr std::string_view kImageBurnTerminal = "xterm -T \"Burn ";
constexpr std::string_view kImageBurnTerminalCommand = "\" -e \"";
constexpr std::string_view kEndOfQuotedCommand = "\"";

// The erase command goes to xterm bare, one word per piece.
constexpr ToolTemplate kErasePrefix{
    "xterm -T \"Tarvelin\" -e cdrecord dev=",
    "xterm -T \"Tarvelin\" -e ./cdrecord dev="};
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
constexpr std::string_view kFormatTerminal = "xterm -e ";

std::string Quoted(std::string_view command, std::string_view before)
{
    return std::string(before).append(command).append(kEndOfQuotedCommand);
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
                    {title, b.imageOptions, folder, b.device, b.speed, b.burn});
    case Medium::DVD:
        return Fill(kDvdFolderBurn.Pick(b.toolsInProgramFolder),
                    {title, b.imageOptions, folder, b.trackSize, b.device, b.speed, b.burn});
    case Medium::Neither:
        break;
    }
    return "";
}

std::string HeldTerminal(std::string_view command)
{
    return Quoted(command, kHeldTerminal);
}

std::string MakeImageCommand(const ImageFile& image)
{
    // The title stands outside the quotation, so the outer shell reads it
    // too: quote it for the shell xterm starts, then once more for the outer one.
    return Fill(kMakeImage.Pick(image.toolsInProgramFolder),
                {QuoteInsideTerminal(image.path), QuoteForShell(QuoteForShell(image.title)),
                 image.imageOptions, QuoteInsideTerminal(image.folder)});
}

std::string TitledTerminal(std::string_view command)
{
    return Quoted(command, kTitledTerminal);
}

std::string BurnImageCommand(const ImageBurn& b, Medium medium)
{
    const std::string path = QuoteInsideTerminal(b.path);
    switch (medium) {
    case Medium::CD:
        return Fill(kCdImageBurn.Pick(b.toolsInProgramFolder), {b.speed, b.device, path, b.burn});
    case Medium::DVD:
        return Fill(kDvdImageBurn, {b.speed, b.trackSize, b.device, path, b.burn});
    case Medium::Neither:
        break;
    }
    return "";
}

std::string ImageBurnTerminal(std::string_view imageFileName, std::string_view command)
{
    // Only the outer shell reads the window title.
    std::string line(kImageBurnTerminal);
    line += EscapeForDoubleQuotes(imageFileName);
    return Quoted(command, line.append(kImageBurnTerminalCommand));
}

std::string EraseCommandLine(bool toolsInProgramFolder, std::string_view device, int eraseMode)
{
    std::string line(kErasePrefix.Pick(toolsInProgramFolder));
    line += device;
    if (eraseMode >= 0 && eraseMode < static_cast<int>(kEraseOptions.size()))
        line += kEraseOptions[static_cast<std::size_t>(eraseMode)];
    return line;
}

std::string FormatCommand(std::string_view dvdDevice)
{
    return Fill(kFormat, {dvdDevice});
}

std::string FormatTerminalLine(std::string_view formatCommand)
{
    return std::string(kFormatTerminal).append(formatCommand);
}

} // namespace commands
