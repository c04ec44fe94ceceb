#pragma once

// The command line of each operation, as it is handed to "/bin/sh -c". The
// caller gathers the pieces from the window; nothing here runs anything.
// A ...Command is the tool's own line; a ...TerminalLine is that line wrapped
// for the xterm window in which the user watches it.

#include <string>
#include <string_view>

namespace commands {

// What the medium selector's item index means.
enum class Medium { CD, DVD, Neither };
Medium MediumFromIndex(int itemIndex);

// What every recorder command takes from the window.
struct Recording {
    bool toolsInProgramFolder = false;
    std::string device;
    std::string speed;
    std::string burnArgument;   // "driveropts=burnproof" or nothing
    std::string trackSize;      // DVD only
};

// "Burn": mkisofs piped into the recorder, in a terminal the user closes.
struct FolderBurn : Recording {
    std::string title;          // already rewritten by VolumeTitle
    std::string imageOptions;
    std::string folder;
};
std::string BurnFolderCommand(const FolderBurn& burn, Medium medium);
std::string BurnFolderTerminalLine(std::string_view command);

// "Make ISO": mkisofs writes the image file, in a terminal that closes by itself.
struct ImageFile {
    bool toolsInProgramFolder = false;
    std::string path;
    std::string title;          // already rewritten by VolumeTitle
    std::string imageOptions;
    std::string folder;
};
std::string MakeImageCommand(const ImageFile& image);
std::string MakeImageTerminalLine(std::string_view command);

// "Open ISO and burn": the recorder writes an existing image.
struct ImageBurn : Recording {
    std::string path;
};
std::string BurnImageCommand(const ImageBurn& burn, Medium medium);
std::string BurnImageTerminalLine(std::string_view imageFileName, std::string_view command);

// "Erase CDRW": the erase mode is the position in the erase mode list.
std::string EraseCommand(bool toolsInProgramFolder, std::string_view device, int eraseMode);
std::string EraseTerminalLine(std::string_view command);

// "Format DVDRW".
std::string FormatCommand(std::string_view dvdDevice);
std::string FormatTerminalLine(std::string_view command);

} // namespace commands
