#pragma once

// The pieces that the burn and image commands are built from. Everything here
// is plain text in and plain text out: no window, no shell, no file.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace commands {

// A command text stored twice: as typed, and with "./" before each mkisofs and
// cdrecord so that the shell runs the tools kept in the program's own folder.
struct ToolTemplate {
    std::string_view plain;
    std::string_view local;
    std::string_view Pick(bool toolsInProgramFolder) const { return toolsInProgramFolder ? local : plain; }

    // Whether both texts end by sending the tool's output into the file: a
    // query and the code that reads its answer must name the same file.
    constexpr bool WritesInto(std::string_view file) const
    {
        return EndsInRedirection(plain, file) && EndsInRedirection(local, file);
    }

private:
    static constexpr bool EndsInRedirection(std::string_view text, std::string_view file)
    {
        return text.size() > file.size() && text.ends_with(file) && text[text.size() - file.size() - 1] == '>';
    }
};

// Replaces each "%s" from left to right by the next argument, as it is.
// Inserted text is never scanned again, so a "%" in an argument stays.
std::string Fill(std::string_view tmpl, std::initializer_list<std::string_view> args);

// "" for MAX in any case, otherwise "speed=" and the text as typed.
std::string SpeedArgument(std::string_view speedText);

// From the options "Long-Joliet", "ISO-Level 4" and "Deactived folder deep".
std::string ImageOptions(bool longJoliet, bool isoLevel4, bool noDeepFolders);

// Every blank becomes "_"; mkisofs takes the title as one word.
std::string VolumeTitle(std::string_view title);

// What a drive prints when it cannot protect against buffer underruns.
inline constexpr std::string_view kBurnproofMarker = "Does not support Buffer-Underrun-Free recording";
inline constexpr std::string_view kBurnproofUnsupported = "Sorry this drive does not supported BURNPROOF";
inline constexpr std::string_view kBurnproofArgument = "driveropts=burnproof";
bool HoldsBurnproofMarker(std::string_view line);

// The image size query: mkisofs prints the folder's size in sectors into temp.cfg.
inline constexpr std::string_view kTrackSizeFile = "temp.cfg";
std::string TrackSizeQuery(bool toolsInProgramFolder, std::string_view folder);

// The track size of that many bytes: 2048-byte sectors, rounded up, so that
// the recorder is told exactly what it is about to write.
std::string TrackSizeOfBytes(std::uint64_t bytes);

} // namespace commands
