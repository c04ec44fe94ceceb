// The exact command texts of every operation, and the pieces they are built
// from. Each expected text is written out whole, so that a blank more or
// less anywhere shows.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

#include "command_text.h"
#include "commands/drives.h"
#include "commands/fragments.h"
#include "commands/operations.h"

using namespace commands;
using command_text::ExpectExact;

namespace {

// The window after start-up with a scanned drive at 0,0,0 whose capability
// output holds no marker: "Burnproof" ticked, speed MAX, title "no name",
// folder /home, nothing else ticked.
FolderBurn DefaultFolderBurn()
{
    FolderBurn b;
    b.title = VolumeTitle("no name");
    b.imageOptions = ImageOptions(false, false, false);
    b.folder = "/home";
    b.trackSize = "123456";
    b.device = DeviceArgument("0,0,00) 'VENDOR' 'MODEL' 'REV'");
    b.speed = SpeedArgument("MAX");
    b.burnArgument = std::string(kBurnproofArgument);
    return b;
}

ImageFile DefaultImageFile()
{
    ImageFile i;
    i.path = "/home/image.iso";
    i.title = VolumeTitle("no name");
    i.imageOptions = ImageOptions(false, false, false);
    i.folder = "/home";
    return i;
}

ImageBurn DefaultCdImageBurn()
{
    ImageBurn b;
    b.speed = SpeedArgument("MAX");
    b.device = "0,0,0";
    b.path = "/home/user/backup.iso";
    b.burnArgument = std::string(kBurnproofArgument);
    return b;
}

// Speed 4, "Cdrtools in current folder" ticked, "Burnproof" not ticked.
ImageBurn DvdImageBurn()
{
    ImageBurn b;
    b.toolsInProgramFolder = true;
    b.speed = SpeedArgument("4");
    b.trackSize = TrackSizeOfBytes(123456ull * 2048);
    b.device = "0,0,0";
    b.path = "/home/user/backup.iso";
    b.burnArgument = "";
    return b;
}

TEST(DefaultOperations, ComposeTheirTextsByteForByte)
{
    const FolderBurn burn = DefaultFolderBurn();
    FolderBurn localBurn = burn;
    localBurn.toolsInProgramFolder = true;
    ImageFile localImage = DefaultImageFile();
    localImage.toolsInProgramFolder = true;
    ImageBurn localCdImage = DefaultCdImageBurn();
    localCdImage.toolsInProgramFolder = true;

    const std::string cd = BurnFolderCommand(burn, Medium::CD);
    const std::string dvd = BurnFolderCommand(burn, Medium::DVD);
    const std::string image = MakeImageCommand(DefaultImageFile());
    const std::string cdImage = BurnImageCommand(DefaultCdImageBurn(), Medium::CD);
    const std::string dvdImage = BurnImageCommand(DvdImageBurn(), Medium::DVD);
    const std::string format = FormatCommand("/dev/cdrom");

    ExpectExact({
        {"CD folder burn", cd,
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 94},
        {"CD folder burn in its held terminal", BurnFolderTerminalLine(cd),
         "xterm -hold -T \"Tarvelin\" -e \"mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject "
         "dev=0,0,0  driveropts=burnproof -\"",
         125},
        {"DVD folder burn", dvd,
         "mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  "
         "driveropts=burnproof -",
         113},
        {"DVD folder burn in its held terminal", BurnFolderTerminalLine(dvd),
         "xterm -hold -T \"Tarvelin\" -e \"mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject "
         "-tsize=123456s dev=0,0,0  driveropts=burnproof -\"",
         144},
        {"CD folder burn with tools from the program folder", BurnFolderCommand(localBurn, Medium::CD),
         "./mkisofs -R -V no_name -T -J  /home | ./cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 98},
        {"DVD folder burn with tools from the program folder pipes into a bare dvd_cdrecord",
         BurnFolderCommand(localBurn, Medium::DVD),
         "./mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  "
         "driveropts=burnproof -",
         115},
        {"image file", image, "mkisofs -o /home/image.iso -R -V \"no_name\" -T -J  /home", 55},
        {"image file in its terminal", MakeImageTerminalLine(image),
         "xterm -T \"Tarvelin\" -e \"mkisofs -o /home/image.iso -R -V \"no_name\" -T -J  /home\"", 80},
        {"image file with tools from the program folder", MakeImageCommand(localImage),
         "./mkisofs -o /home/image.iso -R -V \"no_name\" -T -J  /home", 57},
        {"CD image burn", cdImage, "cdrecord -v  -tao dev=0,0,0 /home/user/backup.iso driveropts=burnproof", 70},
        {"CD image burn in its terminal", BurnImageTerminalLine("backup.iso", cdImage),
         "xterm -T \"Burn backup.iso\" -e \"cdrecord -v  -tao dev=0,0,0 /home/user/backup.iso "
         "driveropts=burnproof\"",
         102},
        {"CD image burn with tools from the program folder", BurnImageCommand(localCdImage, Medium::CD),
         "./cdrecord -v  -tao dev=0,0,0 /home/user/backup.iso driveropts=burnproof", 72},
        {"DVD image burn, never prefixed", dvdImage,
         "dvd_cdrecord -v speed=4 -dao -eject -tsize=123456s dev=0,0,0 /home/user/backup.iso ", 83},
        {"DVD image burn in its terminal", BurnImageTerminalLine("backup.iso", dvdImage),
         "xterm -T \"Burn backup.iso\" -e \"dvd_cdrecord -v speed=4 -dao -eject -tsize=123456s dev=0,0,0 "
         "/home/user/backup.iso \"",
         115},
        {"quick erase", EraseCommand(false, "0,0,0", 0), "cdrecord dev=0,0,0 -v blank=fast ", 33},
        {"quick erase in its terminal", EraseTerminalLine(EraseCommand(false, "0,0,0", 0)),
         "xterm -T \"Tarvelin\" -e cdrecord dev=0,0,0 -v blank=fast ", 56},
        {"quick erase with cdrecord from the program folder", EraseTerminalLine(EraseCommand(true, "0,0,0", 0)),
         "xterm -T \"Tarvelin\" -e ./cdrecord dev=0,0,0 -v blank=fast ", 58},
        {"format", format, "dvd+rw-format -lead-out /dev/cdrom", 34},
        {"format in its terminal", FormatTerminalLine(format), "xterm -e dvd+rw-format -lead-out /dev/cdrom", 43},
    });
}

TEST(FolderBurn, SettingsChangeOnlyTheirOwnStretchOfThePipeline)
{
    FolderBurn noBurnproof = DefaultFolderBurn();
    noBurnproof.burnArgument = "";
    FolderBurn everyOption = DefaultFolderBurn();
    everyOption.imageOptions = ImageOptions(true, true, true);
    everyOption.speed = SpeedArgument("8");
    FolderBurn emptySpeed = DefaultFolderBurn();
    emptySpeed.speed = SpeedArgument("");
    FolderBurn lowerMax = DefaultFolderBurn();
    lowerMax.speed = SpeedArgument("max");
    FolderBurn twoWordTitle = DefaultFolderBurn();
    twoWordTitle.title = VolumeTitle("my disc");
    FolderBurn emptyDevice = DefaultFolderBurn();
    emptyDevice.device = DeviceArgument("");
    FolderBurn emptyList = DefaultFolderBurn();
    emptyList.device = DeviceArgument("ComboBox1");
    FolderBurn pathDevice = DefaultFolderBurn();
    pathDevice.device = DeviceArgument("/dev/my cd");
    FolderBurn blankInSize = DefaultFolderBurn();
    blankInSize.trackSize = "12345 ";
    FolderBurn noSize = DefaultFolderBurn();
    noSize.trackSize = "";
    FolderBurn percent = DefaultFolderBurn();
    percent.folder = "/home/100%s";

    ExpectExact({
        {"burnproof off leaves three blanks before the track dash", BurnFolderCommand(noBurnproof, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0   -", 74},
        {"every image option and speed 8", BurnFolderCommand(everyOption, Medium::CD),
         "mkisofs -R -V no_name -T -J  -joliet-long -iso-level 4 -D /home | cdrecord -v -tao -eject "
         "dev=0,0,0 speed=8 driveropts=burnproof -",
         130},
        {"empty speed text", BurnFolderCommand(emptySpeed, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0 speed= driveropts=burnproof -",
         100},
        {"max in lower case", BurnFolderCommand(lowerMax, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 94},
        {"two-word title", BurnFolderCommand(twoWordTitle, Medium::CD),
         "mkisofs -R -V my_disc -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 94},
        {"empty device", BurnFolderCommand(emptyDevice, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=  driveropts=burnproof -", 89},
        {"empty drive list", BurnFolderCommand(emptyList, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=Combo  driveropts=burnproof -", 94},
        {"device path with a blank goes in as it is", BurnFolderCommand(pathDevice, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=/dev/my cd  driveropts=burnproof -",
         99},
        {"track size with a trailing blank", BurnFolderCommand(blankInSize, Medium::DVD),
         "mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=12345 s dev=0,0,0  "
         "driveropts=burnproof -",
         113},
        {"empty track size", BurnFolderCommand(noSize, Medium::DVD),
         "mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=s dev=0,0,0  "
         "driveropts=burnproof -",
         107},
        {"a %s in the folder is not filled", BurnFolderCommand(percent, Medium::CD),
         "mkisofs -R -V no_name -T -J  /home/100%s | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -",
         100},
        {"neither medium", BurnFolderCommand(DefaultFolderBurn(), Medium::Neither), "", 0},
        {"neither medium still starts the held terminal",
         BurnFolderTerminalLine(BurnFolderCommand(DefaultFolderBurn(), Medium::Neither)),
         "xterm -hold -T \"Tarvelin\" -e \"\"", 31},
    });
}

TEST(FolderBurn, FolderAndTitleThatNeedQuotingOrAreEmptyAreQuotedInsideTheTerminalCommand)
{
    FolderBurn blankFolder = DefaultFolderBurn();
    blankFolder.folder = "/home/my files";
    FolderBurn quoteTitle = DefaultFolderBurn();
    quoteTitle.title = VolumeTitle("Bob's disc");
    FolderBurn dollarFolder = DefaultFolderBurn();
    dollarFolder.folder = "$HOME";
    FolderBurn emptyTitle = DefaultFolderBurn();
    emptyTitle.title = VolumeTitle("");
    FolderBurn emptyFolder = DefaultFolderBurn();
    emptyFolder.folder = "";

    ExpectExact({
        {"folder with a blank", BurnFolderCommand(blankFolder, Medium::CD),
         "mkisofs -R -V no_name -T -J  '/home/my files' | cdrecord -v -tao -eject dev=0,0,0  "
         "driveropts=burnproof -",
         105},
        // The backslash of '\'' is itself escaped for the double quotes after -e.
        {"title with an apostrophe", BurnFolderCommand(quoteTitle, Medium::CD),
         "mkisofs -R -V 'Bob'\\\\''s_disc' -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  "
         "driveropts=burnproof -",
         103},
        {"folder naming a variable", BurnFolderCommand(dollarFolder, Medium::DVD),
         "mkisofs -R -V no_name -T -J  '\\$HOME' | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  "
         "driveropts=burnproof -",
         116},
        // Bare, an empty title would leave mkisofs taking -T as the volume id.
        {"empty title is one empty word", BurnFolderCommand(emptyTitle, Medium::CD),
         "mkisofs -R -V '' -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 89},
        {"empty folder is one empty word", BurnFolderCommand(emptyFolder, Medium::CD),
         "mkisofs -R -V no_name -T -J  '' | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -", 91},
    });
}

TEST(MakeImage, ImageOptionsDecideWhatFollowsJoliet)
{
    struct Row {
        bool longJoliet, isoLevel4, noDeepFolders;
        std::string_view tail;
    };
    const Row rows[] = {
        {false, false, false, "-J  /home"},
        {true, false, false, "-J -joliet-long /home"},
        {false, true, false, "-J  -joliet-long -iso-level 4 /home"},
        {true, true, false, "-J  -joliet-long -iso-level 4 /home"},
        {false, false, true, "-J  -D /home"},
        {true, false, true, "-J -joliet-long -D /home"},
        {false, true, true, "-J  -joliet-long -iso-level 4 -D /home"},
        {true, true, true, "-J  -joliet-long -iso-level 4 -D /home"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "options " << r.longJoliet << r.isoLevel4 << r.noDeepFolders);
        ImageFile image = DefaultImageFile();
        image.imageOptions = ImageOptions(r.longJoliet, r.isoLevel4, r.noDeepFolders);
        EXPECT_SAME_TEXT("mkisofs -o /home/image.iso -R -V \"no_name\" -T " + std::string(r.tail),
                         MakeImageCommand(image));
    }
}

TEST(MakeImage, TitlePathAndFolderEdges)
{
    ImageFile threeWords = DefaultImageFile();
    threeWords.title = VolumeTitle("my first disc");
    ImageFile emptyTitle = DefaultImageFile();
    emptyTitle.title = VolumeTitle("");
    ImageFile emptyPathAndFolder = DefaultImageFile();
    emptyPathAndFolder.path = "";
    emptyPathAndFolder.folder = "";
    ImageFile blankPath = DefaultImageFile();
    blankPath.path = "/home/my image.iso";
    ImageFile blankTitleInTerminal = DefaultImageFile();
    blankTitleInTerminal.title = "a\tb";

    ExpectExact({
        {"three-word title", MakeImageCommand(threeWords),
         "mkisofs -o /home/image.iso -R -V \"my_first_disc\" -T -J  /home", 61},
        // The outer shell turns the twice-quoted title into '', which the
        // shell that xterm starts reads as one empty word.
        {"empty title", MakeImageCommand(emptyTitle),
         "mkisofs -o /home/image.iso -R -V \"''\\'''\\'''\" -T -J  /home", 58},
        {"empty path and folder", MakeImageCommand(emptyPathAndFolder), "mkisofs -o '' -R -V \"no_name\" -T -J  ''",
         39},
        {"path with a blank", MakeImageCommand(blankPath),
         "mkisofs -o '/home/my image.iso' -R -V \"no_name\" -T -J  /home", 60},
        // The title stands outside the quotation after -e, so it is quoted
        // twice over: once for the outer shell around the inner quotes.
        {"title with a tab", MakeImageCommand(blankTitleInTerminal),
         "mkisofs -o /home/image.iso -R -V \"''\\''a\tb'\\'''\" -T -J  /home", 61},
    });
}

TEST(ImageBurn, EdgesOfTheRecordingCommandAndItsWindowTitle)
{
    ImageBurn noBurnproof = DefaultCdImageBurn();
    noBurnproof.burnArgument = "";
    ImageBurn noSize = DvdImageBurn();
    noSize.trackSize = "";
    ImageBurn blankPath = DefaultCdImageBurn();
    blankPath.path = "/home/user/my backup.iso";
    ImageBurn emptyPath = DvdImageBurn();
    emptyPath.path = "";

    ExpectExact({
        {"burnproof off ends the CD command in a blank", BurnImageCommand(noBurnproof, Medium::CD),
         "cdrecord -v  -tao dev=0,0,0 /home/user/backup.iso ", 50},
        {"empty track size", BurnImageCommand(noSize, Medium::DVD),
         "dvd_cdrecord -v speed=4 -dao -eject -tsize=s dev=0,0,0 /home/user/backup.iso ", 77},
        {"neither medium", BurnImageCommand(DefaultCdImageBurn(), Medium::Neither), "", 0},
        {"neither medium still starts the terminal",
         BurnImageTerminalLine("backup.iso", BurnImageCommand(DefaultCdImageBurn(), Medium::Neither)),
         "xterm -T \"Burn backup.iso\" -e \"\"", 32},
        {"path with a blank", BurnImageCommand(blankPath, Medium::CD),
         "cdrecord -v  -tao dev=0,0,0 '/home/user/my backup.iso' driveropts=burnproof", 75},
        {"empty path is one empty word", BurnImageCommand(emptyPath, Medium::DVD),
         "dvd_cdrecord -v speed=4 -dao -eject -tsize=123456s dev=0,0,0 '' ", 64},
        {"empty file name leaves the window title its first word", BurnImageTerminalLine("", ""),
         "xterm -T \"Burn \" -e \"\"", 22},
        // Inside its double quotes a blank in the window title needs nothing.
        {"window title with a blank", BurnImageTerminalLine("my backup.iso", ""),
         "xterm -T \"Burn my backup.iso\" -e \"\"", 35},
        {"window title with shell characters", BurnImageTerminalLine("a\"b$c`d\\e's.iso", ""),
         "xterm -T \"Burn a\\\"b\\$c\\`d\\\\e's.iso\" -e \"\"", 41},
    });
}

TEST(Erase, EveryModeGivesItsOwnOptionAndOthersNone)
{
    struct Row {
        int mode;
        std::string_view option;
    };
    const Row rows[] = {
        {0, " -v blank=fast "},
        {1, " -v blank=all "},
        {2, " -v blank=fast -force "},
        {3, " -v blank=all -force "},
        {4, " -v blank=track "},
        {5, " -v blank=unreserve "},
        {6, " -v blank=trtrail "},
        {7, " -v blank=unclose "},
        {8, " -v blank=session "},
        {-1, ""},
        {9, ""},
        {42, ""},
        {INT_MIN, ""},
        {INT_MAX, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "erase mode " << r.mode);
        EXPECT_SAME_TEXT("xterm -T \"Tarvelin\" -e cdrecord dev=0,0,0" + std::string(r.option),
                         EraseTerminalLine(EraseCommand(false, "0,0,0", r.mode)));
        EXPECT_SAME_TEXT("xterm -T \"Tarvelin\" -e ./cdrecord dev=0,0,0" + std::string(r.option),
                         EraseTerminalLine(EraseCommand(true, "0,0,0", r.mode)));
    }
}

TEST(Erase, DeviceGoesInAsItIs)
{
    ExpectExact({
        {"empty device", EraseTerminalLine(EraseCommand(false, "", 0)), "xterm -T \"Tarvelin\" -e cdrecord dev= -v blank=fast ", 51},
        {"empty device and no option is the prefix alone", EraseTerminalLine(EraseCommand(false, "", -1)),
         "xterm -T \"Tarvelin\" -e cdrecord dev=", 36},
        {"empty device and no option, program folder", EraseTerminalLine(EraseCommand(true, "", 9)),
         "xterm -T \"Tarvelin\" -e ./cdrecord dev=", 38},
        {"device path with a blank", EraseTerminalLine(EraseCommand(false, "/dev/my cd ", 1)),
         "xterm -T \"Tarvelin\" -e cdrecord dev=/dev/my cd  -v blank=all ", 61},
    });
}

TEST(Format, DevicePathIsTheOnlyInput)
{
    struct Row {
        std::string_view device, command;
    };
    const Row rows[] = {
        {"/dev/cdrom", "dvd+rw-format -lead-out /dev/cdrom"},
        {"/dev/dvd", "dvd+rw-format -lead-out /dev/dvd"},
        {"", "dvd+rw-format -lead-out "},
        {"%s", "dvd+rw-format -lead-out %s"},
        {"100%", "dvd+rw-format -lead-out 100%"},
        {"/dev/a b;c", "dvd+rw-format -lead-out /dev/a b;c"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.device));
        const std::string command = FormatCommand(r.device);
        EXPECT_SAME_TEXT(r.command, command);
        EXPECT_SAME_TEXT("xterm -e " + std::string(r.command), FormatTerminalLine(command));
    }
}

} // namespace
