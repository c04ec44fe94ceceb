#include "commands/drives.h"

#include "commands/fragments.h"

namespace commands {

namespace {
constexpr ToolTemplate kScan{
    "cdrecord --scanbus >device.cfg",
    "./cdrecord --scanbus >device.cfg"};
constexpr ToolTemplate kCapabilityQuery{
    "cdrecord dev=%s -prcap >device.cfg",
    "./cdrecord dev=%s -prcap >device.cfg"};
static_assert(kScan.WritesInto(kDriveScratchFile) && kCapabilityQuery.WritesInto(kDriveScratchFile));

// Deletes count bytes at the 1-based position; outside the text nothing
// happens, and a run past the end stops there.
void Cut(std::string& text, long position, std::size_t count)
{
    if (position < 1 || static_cast<std::size_t>(position) > text.size())
        return;
    text.erase(static_cast<std::size_t>(position) - 1, count);
}
} // namespace

std::string ScanCommand(bool toolsInProgramFolder)
{
    return std::string(kScan.Pick(toolsInProgramFolder));
}

std::string CapabilityQuery(bool toolsInProgramFolder, std::string_view device)
{
    return Fill(kCapabilityQuery.Pick(toolsInProgramFolder), {device});
}

bool IsDriveLine(std::string_view scanLine)
{
    return scanLine.find("CD-ROM") != std::string_view::npos;
}

std::string DriveEntry(std::string_view scanLine)
{
    // The line reads TAB, address, TAB, description, " Removable CD-ROM": the
    // two TABs go, and the last 17 bytes take the device class with them.
    std::string entry(scanLine);
    Cut(entry, 1, 1);
    Cut(entry, 6, 1);
    Cut(entry, static_cast<long>(entry.size()) - 16, 17);
    return entry;
}

std::string DeviceArgument(std::string_view listText)
{
    if (!listText.empty() && listText.front() == '/')
        return std::string(listText);
    return std::string(listText.substr(0, 5));
}

} // namespace commands
