// Drive discovery: which scan lines are drives, what the fixed cuts leave of
// them, the device argument, and the scan and capability commands.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "command_text.h"
#include "commands/drives.h"

using namespace commands;
using command_text::ExpectExact;

namespace {

TEST(Drives, ScanAndCapabilityCommands)
{
    ExpectExact({
        {"scan", ScanCommand(false), "cdrecord --scanbus >device.cfg", 30},
        {"scan, program folder", ScanCommand(true), "./cdrecord --scanbus >device.cfg", 32},
        {"capability", CapabilityQuery(false, "0,0,0"), "cdrecord dev=0,0,0 -prcap >device.cfg", 37},
        {"capability, program folder", CapabilityQuery(true, "0,0,0"), "./cdrecord dev=0,0,0 -prcap >device.cfg", 39},
        {"capability, empty device", CapabilityQuery(false, ""), "cdrecord dev= -prcap >device.cfg", 32},
        {"capability, empty device, program folder", CapabilityQuery(true, ""),
         "./cdrecord dev= -prcap >device.cfg", 34},
        {"capability, device path with a blank", CapabilityQuery(false, "/dev/my cd"),
         "cdrecord dev=/dev/my cd -prcap >device.cfg", 42},
        {"capability, empty drive list", CapabilityQuery(false, DeviceArgument("ComboBox1")),
         "cdrecord dev=Combo -prcap >device.cfg", 37},
    });
}

TEST(Drives, OnlyLinesNamingCdRomInCapitalsAreDrives)
{
    struct Row {
        std::string_view line;
        bool drive;
    };
    const Row rows[] = {
        {"\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM", true},
        {"\t0,1,0\t1) 'CD-ROM' 'MODEL' 'REV' Removable Disk", true},
        {"CD-ROM", true},
        {"\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable cd-rom", false},
        {"\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-RO M", false},
        {"scsibus0:", false},
        {"", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.line));
        EXPECT_EQ(r.drive, IsDriveLine(r.line));
    }
}

TEST(Drives, ScanLineCutsAtFixedPositions)
{
    struct Row {
        std::string_view line;
        std::string_view entry;
        std::string_view device;
    };
    const Row rows[] = {
        {"\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM", "0,0,00) 'VENDOR' 'MODEL' 'REV'", "0,0,0"},
        // Two-digit bus: cut 2 takes the address's last digit and the TAB stays.
        {"\t10,0,0\t0) 'V' 'M' 'R' Removable CD-ROM", "10,0,\t0) 'V' 'M' 'R'", "10,0,"},
        {"\t0,0,0\t  0) 'V' 'M' 'R' Removable CD-ROM", "0,0,0  0) 'V' 'M' 'R'", "0,0,0"},
        {"CD-ROM", "D-ROM", "D-ROM"},
        {"xCD-ROM", "CD-RO", "CD-RO"},
        {"abcdefghijklCD-ROM", "bcdefhijklCD-ROM", "bcdef"},
        {"abcdefghijklmCD-ROM", "", ""},
        {"abcdefghijklmnCD-ROM", "b", "b"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.line));
        const std::string entry = DriveEntry(r.line);
        EXPECT_SAME_TEXT(r.entry, entry);
        EXPECT_SAME_TEXT(r.device, DeviceArgument(entry));
    }
}

TEST(Drives, KeptLinesOfEachLengthGiveEntriesOfFixedLength)
{
    struct Row {
        std::size_t lineLength, entryLength;
    };
    const Row rows[] = {{49, 30}, {6, 5}, {7, 5}, {18, 16}, {19, 0}, {20, 1}, {21, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "kept line of " << r.lineLength << " bytes");
        const std::string line = std::string(r.lineLength - 6, 'x') + "CD-ROM";
        ASSERT_TRUE(IsDriveLine(line));
        EXPECT_EQ(r.entryLength, DriveEntry(line).size());
    }
}

TEST(Drives, DeviceArgument)
{
    struct Row {
        std::string_view listText, device;
    };
    const Row rows[] = {
        {"/dev/cdrom", "/dev/cdrom"},
        {"/dev/cdrom  ", "/dev/cdrom  "},
        // Any path is used whole, not only one under /dev.
        {"/media/recorder", "/media/recorder"},
        {"0,0,00) 'VENDOR' 'MODEL' 'REV'", "0,0,0"},
        {"ComboBox1", "Combo"},
        {"1,0", "1,0"},
        {"1,0,0", "1,0,0"},
        {" /dev/cdrom", " /dev"},
        {"", ""},
        {"/", "/"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.listText));
        EXPECT_SAME_TEXT(r.device, DeviceArgument(r.listText));
    }
}

} // namespace
