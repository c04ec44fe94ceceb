#pragma once

// Drive discovery: what cdrecord prints about the bus, and the device
// argument that every recorder command carries after "dev=".

#include <string>
#include <string_view>

namespace commands {

// Scan and capability output both land here, one after the other.
inline constexpr std::string_view kDriveScratchFile = "device.cfg";
// The user's own drive list, one entry per line, beside the program.
inline constexpr std::string_view kDriveListFile = "device.config";

std::string ScanCommand(bool toolsInProgramFolder);
std::string CapabilityQuery(bool toolsInProgramFolder, std::string_view device);

// Only scan lines naming a "CD-ROM" (case matters) become drive list entries.
bool IsDriveLine(std::string_view scanLine);

// The scan line cut down to an entry: "\t0,0,0\t0) 'V' 'M' 'R' Removable CD-ROM"
// keeps "0,0,00) 'V' 'M' 'R'".
std::string DriveEntry(std::string_view scanLine);

// A path is used whole; anything else is the bus,target,lun address it starts with.
std::string DeviceArgument(std::string_view listText);

} // namespace commands
