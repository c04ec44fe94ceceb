// What the window finds before it is first shown: the drive list from the
// user's device.config or from a bus scan, and "Burnproof" from the first
// drive's answer to -prcap.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support.h"

namespace {

std::vector<std::string> EntriesOf(const ui::TComboBox& combo)
{
    std::vector<std::string> entries;
    for (int i = 0; i < combo.Items.Count(); ++i)
        entries.push_back(combo.Items[i]);
    return entries;
}

int Selected(const ui::TComboBox& combo)
{
    return gtk_combo_box_get_active(GTK_COMBO_BOX(combo.Widget()));
}

bool BurnproofTicked()
{
    return Form1->CheckGroup1.Checked(3);
}

// A scan that lists no drive: the list shows its layout text, whose first five
// bytes are what the capability query asks, and no answer unticks "Burnproof".
void ExpectScanFoundNoDrive(const Recorder& recorder)
{
    EXPECT_EQ(Form1->ComboBox1.Items.Count(), 0);
    EXPECT_EQ(Form1->ComboBox1.Text(), "ComboBox1");
    EXPECT_TRUE(BurnproofTicked());
    EXPECT_TRUE(SameLines({"cdrecord --scanbus >device.cfg", "cdrecord dev=Combo -prcap >device.cfg"},
                          recorder.ShellLines()));
}

void WriteFile(const fs::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
}

class Startup : public testing::Test {
protected:
    void SetUp() override
    {
        // A leftover from an earlier run would turn every scan case into a list case.
        ASSERT_FALSE(fs::exists(fs::symlink_status(driveList_))) << driveList_ << " lies in the program's folder";
    }
    void TearDown() override
    {
        fs::remove(driveList_);
        EXPECT_TRUE(ScratchFilesLeft().empty()) << ScratchFilesLeft().front() << " was left behind";
        for (const std::string& scratch : ScratchFilesLeft())
            fs::remove(ProgramDir() / scratch);
    }

    Recorder recorder_;
    const fs::path driveList_ = ProgramDir() / "device.config";
};

TEST_F(Startup, DriveListFileGivesOneEntryPerLineAndNoScan)
{
    const struct {
        const char* name;
        std::string content;
        std::vector<std::string> entries;
        const char* query;
    } cases[] = {
        {"an empty line is an empty entry", "/dev/cdrom\n\n1,0,0\n", {"/dev/cdrom", "", "1,0,0"},
         "cdrecord dev=/dev/cdrom -prcap >device.cfg"},
        {"CR LF ends", "/dev/sr0\r\n1,0,0\r\n", {"/dev/sr0", "1,0,0"}, "cdrecord dev=/dev/sr0 -prcap >device.cfg"},
        {"no end after the last line", "1,0,0\n/dev/sr1", {"1,0,0", "/dev/sr1"}, "cdrecord dev=1,0,0 -prcap >device.cfg"},
        {"lone CR ends", "/dev/sr0\r/dev/sr1\r", {"/dev/sr0", "/dev/sr1"}, "cdrecord dev=/dev/sr0 -prcap >device.cfg"},
        {"an entry not starting with / gives five bytes", "10,0,0 the big one\n", {"10,0,0 the big one"},
         "cdrecord dev=10,0, -prcap >device.cfg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.Clear();
        recorder_.Answer("STANDIN_SCANBUS", "\t0,0,0\t0) 'SCANNED' 'DRIVE' '1.0' Removable CD-ROM\n");
        WriteFile(driveList_, c.content);
        StartForm();
        EXPECT_EQ(EntriesOf(Form1->ComboBox1), c.entries);
        EXPECT_EQ(Selected(Form1->ComboBox1), 0);
        EXPECT_EQ(Form1->ComboBox1.Text(), c.entries.front());
        EXPECT_TRUE(SameLines({c.query}, recorder_.ShellLines()));
        EXPECT_TRUE(BurnproofTicked());
        EXPECT_TRUE(ScratchFilesLeft().empty());
    }
}

TEST_F(Startup, PickingTheEmptyEntryGivesAnEmptyDeviceToTheNextBurn)
{
    WriteFile(driveList_, "/dev/cdrom\n\n1,0,0\n");
    StartForm();
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord"), (std::vector<std::vector<std::string>>{{"dev=/dev/cdrom", "-prcap"}}));

    gtk_combo_box_set_active(GTK_COMBO_BOX(Form1->ComboBox1.Widget()), 1);
    ASSERT_EQ(Form1->ComboBox1.Text(), "");
    recorder_.Clear();
    Click(Form1->Button3);
    EXPECT_TRUE(SameLines(
        {"cdrecord dev= -prcap >device.cfg",
         "xterm -hold -T \"Tarvelin\" -e \"mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=  "
         "driveropts=burnproof -\""},
        recorder_.ShellLines()));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord").front(), (std::vector<std::string>{"dev=", "-prcap"}));
}

TEST_F(Startup, EmptyDriveListFileRunsNoScanAndAsksTheLayoutText)
{
    recorder_.Answer("STANDIN_SCANBUS", "\t0,0,0\t0) 'SCANNED' 'DRIVE' '1.0' Removable CD-ROM\n");
    WriteFile(driveList_, "");
    StartForm();
    EXPECT_EQ(Form1->ComboBox1.Items.Count(), 0);
    EXPECT_EQ(Selected(Form1->ComboBox1), -1);
    EXPECT_EQ(Form1->ComboBox1.Text(), "ComboBox1");
    EXPECT_TRUE(SameLines({"cdrecord dev=Combo -prcap >device.cfg"}, recorder_.ShellLines()));
    EXPECT_TRUE(BurnproofTicked());
}

TEST_F(Startup, ScanKeepsCdRomLinesInTheToolsOrderCutToEntries)
{
    recorder_.Answer("STANDIN_SCANBUS",
                     "scsibus0:\n"
                     "\t0,0,0\t  0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n"
                     "\t0,1,0\t  1) *\n"
                     "\t0,2,0\t  2) 'HL-DT-ST' 'cd-rom GCR-8523B' '1.02' Removable cd-rom\n"
                     "\t1,0,0\t100) 'ACME' 'CD-ROM BOX 52X' '1.0' Removable Disk\n"
                     "\t0,0,0\t  0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n"
                     "\t10,0,0\t1000) 'X' 'Y' 'Z' Removable CD-ROM\n"
                     "CD-ROM");
    StartForm();
    EXPECT_EQ(EntriesOf(Form1->ComboBox1), (std::vector<std::string>{
                                               "0,0,0  0) 'VENDOR' 'MODEL' 'REV'",
                                               // The cuts count bytes; they never look for the device class.
                                               "1,0,0100) 'ACME' 'CD-ROM BOX 52X' '1.",
                                               "0,0,0  0) 'VENDOR' 'MODEL' 'REV'",
                                               "10,0,\t1000) 'X' 'Y' 'Z'",
                                               "D-ROM",
                                           }));
    EXPECT_EQ(Selected(Form1->ComboBox1), 0);
    EXPECT_EQ(Form1->ComboBox1.Text(), "0,0,0  0) 'VENDOR' 'MODEL' 'REV'");
    EXPECT_TRUE(SameLines({"cdrecord --scanbus >device.cfg", "cdrecord dev=0,0,0 -prcap >device.cfg"},
                          recorder_.ShellLines()));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord"),
              (std::vector<std::vector<std::string>>{{"--scanbus"}, {"dev=0,0,0", "-prcap"}}));
}

TEST_F(Startup, BurnproofIsUntickedOnlyForADriveThatReportsTheMarker)
{
    const auto fiveLines = [](const std::string& third) {
        return "Drive capabilities, per MMC-3 page 2A:\n\n" + third + "\n  Does read CD-R media\n  Does write CD-R media\n";
    };
    const struct {
        const char* name;
        std::string answer;
        bool ticked;
    } cases[] = {
        {"marker on the third of five lines", fiveLines("  Does not support Buffer-Underrun-Free recording"), false},
        {"marker with text around it", fiveLines("\tDoes not support Buffer-Underrun-Free recording (BURN-Free)  "), false},
        {"marker on a last line without end", "Drive capabilities:\nDoes not support Buffer-Underrun-Free recording", false},
        {"support stated", fiveLines("  Does support Buffer-Underrun-Free recording"), true},
        {"one letter in another case", fiveLines("  Does not support buffer-Underrun-Free recording"), true},
        {"no answer at all", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.Clear();
        recorder_.Answer("STANDIN_SCANBUS", "\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n");
        recorder_.Answer("STANDIN_PRCAP", c.answer);
        StartForm();
        EXPECT_EQ(BurnproofTicked(), c.ticked);
        EXPECT_TRUE(ScratchFilesLeft().empty());
        EXPECT_TRUE(SameLines({"cdrecord --scanbus >device.cfg", "cdrecord dev=0,0,0 -prcap >device.cfg"},
                              recorder_.ShellLines()));
    }
}

TEST_F(Startup, ScratchFileFromBeforeIsReplacedByTheToolsOutput)
{
    // Appending to it instead would bring back this drive and this marker.
    WriteFile(ProgramDir() / "device.cfg",
              "\t9,9,9\t0) 'OLD' 'DRIVE' 'REV' Removable CD-ROM\nDoes not support Buffer-Underrun-Free recording\n");
    StartForm();
    ExpectScanFoundNoDrive(recorder_);
}

TEST_F(Startup, RealCdrecordWithoutADriveLeavesTheListEmptyAndBurnproofTicked)
{
    const std::string standIns = std::getenv("PATH");
    setenv("PATH", "/usr/bin:/bin", 1);
    struct RestorePath {
        std::string path;
        ~RestorePath() { setenv("PATH", path.c_str(), 1); }
    } restore{standIns};
    if (!fs::exists("/usr/bin/cdrecord") && !fs::exists("/bin/cdrecord"))
        GTEST_SKIP() << "no cdrecord installed";

    StartForm();
    ExpectScanFoundNoDrive(recorder_);
    EXPECT_TRUE(recorder_.Calls().empty()) << "a stand-in answered instead of the real tool";
}

} // namespace
