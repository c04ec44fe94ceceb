#include "commands/fragments.h"

#include "commands/quoting.h"
#include "text/ascii.h"

namespace commands {

namespace {
constexpr ToolTemplate kTrackSizeQuery{
    "mkisofs -J -r -print-size %s >temp.cfg",
    "./mkisofs -J -r -print-size %s >temp.cfg"};
static_assert(kTrackSizeQuery.WritesInto(kTrackSizeFile));

constexpr std::uint64_t kSectorBytes = 2048;
} // namespace

std::string Fill(std::string_view tmpl, std::initializer_list<std::string_view> args)
{
    std::string out;
    auto arg = args.begin();
    std::size_t from = 0;
    for (std::size_t at = tmpl.find("%s"); at != std::string_view::npos && arg != args.end();
         at = tmpl.find("%s", from), ++arg) {
        out.append(tmpl.substr(from, at - from)).append(*arg);
        from = at + 2;
    }
    out.append(tmpl.substr(from));
    return out;
}

std::string SpeedArgument(std::string_view speedText)
{
    if (text::AsciiUpper(speedText) == "MAX")
        return "";
    return "speed=" + std::string(speedText);
}

std::string ImageOptions(bool longJoliet, bool isoLevel4, bool noDeepFolders)
{
    std::string options;
    if (longJoliet)
        options = "-joliet-long";
    if (isoLevel4)
        options = " -joliet-long -iso-level 4";
    if (noDeepFolders)
        options += " -D";
    return options;
}

std::string VolumeTitle(std::string_view title)
{
    std::string out(title);
    for (char& c : out)
        if (c == ' ')
            c = '_';
    return out;
}

bool HoldsBurnproofMarker(std::string_view line)
{
    return line.find(kBurnproofMarker) != std::string_view::npos;
}

std::string TrackSizeQuery(bool toolsInProgramFolder, std::string_view folder)
{
    // This line goes straight to the shell: the folder needs one level of quoting.
    return Fill(kTrackSizeQuery.Pick(toolsInProgramFolder), {QuoteForShell(folder)});
}

std::string TrackSizeOfBytes(std::uint64_t bytes)
{
    // A last, partly filled sector is still written whole.
    return std::to_string(bytes / kSectorBytes + (bytes % kSectorBytes != 0 ? 1 : 0));
}

} // namespace commands
