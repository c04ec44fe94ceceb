// The operations through their buttons: what the live window reads from its
// controls, the order in which things happen, and the exact lines that reach
// /bin/sh -c and the tools behind them.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "support.h"

namespace {

using Invocations = std::vector<std::vector<std::string>>;

// One drive on the bus, with the device argument 0,0,0.
constexpr const char* kScanAnswer = "scsibus0:\n\t0,0,0\t  0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n\t0,1,0\t  1) *\n";
constexpr const char* kProtectingDrive =
    "Drive capabilities, per MMC-3 page 2A:\n\n  Does support Buffer-Underrun-Free recording\n";
constexpr const char* kUnprotectedDrive =
    "Drive capabilities, per MMC-3 page 2A:\n\n  Does not support Buffer-Underrun-Free recording\n  Does read CD-R media\n";
constexpr const char* kNoProtectionMessage = "Sorry this drive does not supported BURNPROOF";
constexpr const char* kStandInImage = "image of the stand-in mkisofs\n";

constexpr std::string_view kQuery = "cdrecord dev=0,0,0 -prcap >device.cfg";
constexpr std::string_view kLocalQuery = "./cdrecord dev=0,0,0 -prcap >device.cfg";
constexpr std::string_view kSizeQuery = "mkisofs -J -r -print-size /home >temp.cfg";
constexpr std::string_view kLocalSizeQuery = "./mkisofs -J -r -print-size /home >temp.cfg";

constexpr std::string_view kCdBurn =
    "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -";
constexpr std::string_view kLocalCdBurn =
    "./mkisofs -R -V no_name -T -J  /home | ./cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -";
constexpr std::string_view kDvdBurn =
    "mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  driveropts=burnproof -";
constexpr std::string_view kLocalDvdBurn =
    "./mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  driveropts=burnproof -";
constexpr std::string_view kUnprotectedCdBurn =
    "mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0   -";
// Inside the held terminal's 31 bytes these make lines of 125 and 144 bytes.
static_assert(kCdBurn.size() == 94 && kDvdBurn.size() == 113);
static_assert(kLocalCdBurn.size() == 98 && kLocalDvdBurn.size() == 115);

// The burn's terminal stays open until the user closes it.
std::string Held(std::string_view command)
{
    return "xterm -hold -T \"Tarvelin\" -e \"" + std::string(command) + "\"";
}

std::string BurnImageTerminal(const std::string& fileName, const std::string& command)
{
    return "xterm -T \"Burn " + fileName + "\" -e \"" + command + "\"";
}

const ToolCall* LastCallOf(const std::vector<ToolCall>& calls, const std::string& tool)
{
    const ToolCall* last = nullptr;
    for (const ToolCall& call : calls)
        if (call.tool == tool)
            last = &call;
    return last;
}

// Armed where no box should come: one that comes anyway is counted and closed.
const Answer kUnexpectedBox = Dismiss;

// A file dialog answer that fails, rather than waits, when a box comes first.
Answer Choose(const fs::path& folder, const std::string& name)
{
    return [folder, name](GtkDialog* d) {
        if (!GTK_IS_FILE_CHOOSER(d)) {
            ADD_FAILURE() << "a box came before the file dialog: " << MessageOf(d);
            Dismiss(d);
            return;
        }
        ChooseFile(folder, name)(d);
    };
}

void Pick(const ui::TComboBox& combo, int item)
{
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo.Widget()), item);
}

void Tick(ui::TCheckBox& box, bool ticked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box.Widget()), ticked);
}

void TickBurnproof(bool ticked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Form1->Component("CheckGroup1.3")), ticked);
}

// "Cdrtools in current folder" makes the shell run ./mkisofs and ./cdrecord
// from the program's folder; the stand-ins stand there while one test runs.
class ToolsBesideProgram {
public:
    ToolsBesideProgram()
    {
        for (const char* tool : kTools) {
            fs::remove(ProgramDir() / tool);
            fs::create_symlink(fs::path(STAND_INS_DIR) / tool, ProgramDir() / tool);
        }
    }
    ~ToolsBesideProgram()
    {
        for (const char* tool : kTools)
            fs::remove(ProgramDir() / tool);
    }
    ToolsBesideProgram(const ToolsBesideProgram&) = delete;
    ToolsBesideProgram& operator=(const ToolsBesideProgram&) = delete;

private:
    static constexpr const char* kTools[] = {"mkisofs", "cdrecord", "record"};
};

// The shell cannot create temp.cfg through a link that points nowhere, so
// reading it fails the way a missing file does.
class UncreatableSizeFile {
public:
    UncreatableSizeFile() { fs::create_symlink("/nonexistent/temp.cfg", file_); }
    ~UncreatableSizeFile() { fs::remove(file_); }
    UncreatableSizeFile(const UncreatableSizeFile&) = delete;
    UncreatableSizeFile& operator=(const UncreatableSizeFile&) = delete;

private:
    const fs::path file_ = ProgramDir() / "temp.cfg";
};

class Operations : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(fs::exists(ProgramDir() / "device.config")) << "a drive list file would replace the scan";
        recorder_.Answer("STANDIN_SCANBUS", kScanAnswer);
        recorder_.Answer("STANDIN_PRCAP", kProtectingDrive);
        recorder_.Answer("STANDIN_PRINT_SIZE", "123456\n");
        StartForm();
        ASSERT_EQ(Form1->ComboBox1.Text(), "0,0,0  0) 'VENDOR' 'MODEL' 'REV'");
        ASSERT_TRUE(Form1->CheckGroup1.Checked(3));
        fs::create_directories(files_);
        recorder_.Clear();
    }
    void TearDown() override
    {
        AnswerDialogs({});
        EXPECT_TRUE(ScratchFilesLeft().empty()) << ScratchFilesLeft().front() << " was left behind";
        for (const std::string& scratch : ScratchFilesLeft())
            fs::remove(ProgramDir() / scratch);
    }

    std::string AnImage(const std::string& name) const
    {
        const fs::path image = files_ / name;
        std::ofstream(image) << "ISO";
        return image.string();
    }

    Recorder recorder_;
    const fs::path files_ = recorder_.Dir() / "files";
};

TEST_F(Operations, BurnPipesTheFolderImageIntoTheRecorder)
{
    const Invocations query = {{"dev=0,0,0", "-prcap"}};
    const Invocations cdMkisofs = {{"-R", "-V", "no_name", "-T", "-J", "/home"}};
    const Invocations dvdMkisofs = {{"-J", "-r", "-print-size", "/home"}, {"-R", "-V", "no_name", "-T", "-J", "/home"}};
    const struct {
        const char* name;
        int medium;
        bool local;
        std::vector<std::string> lines;
        std::string_view command;
        Invocations mkisofs;
        const char* recorder;
        std::vector<std::string> recorderArgs;
    } cases[] = {
        {"CD", 0, false, {std::string(kQuery), Held(kCdBurn)}, kCdBurn, cdMkisofs, "cdrecord",
         {"-v", "-tao", "-eject", "dev=0,0,0", "driveropts=burnproof", "-"}},
        {"DVD", 1, false, {std::string(kQuery), std::string(kSizeQuery), Held(kDvdBurn)}, kDvdBurn, dvdMkisofs,
         "dvd_cdrecord", {"-v", "-dao", "-eject", "-tsize=123456s", "dev=0,0,0", "driveropts=burnproof", "-"}},
        {"CD, tools beside the program", 0, true, {std::string(kLocalQuery), Held(kLocalCdBurn)}, kLocalCdBurn,
         cdMkisofs, "cdrecord", {"-v", "-tao", "-eject", "dev=0,0,0", "driveropts=burnproof", "-"}},
        {"DVD, tools beside the program", 1, true,
         {std::string(kLocalQuery), std::string(kLocalSizeQuery), Held(kLocalDvdBurn)}, kLocalDvdBurn, dvdMkisofs,
         "dvd_cdrecord", {"-v", "-dao", "-eject", "-tsize=123456s", "dev=0,0,0", "driveropts=burnproof", "-"}},
    };
    const ToolsBesideProgram tools;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form1->title.SetText("no name");
        Pick(Form1->ComboBox3, c.medium);
        Tick(Form1->CheckBox1, c.local);
        recorder_.Clear();
        AnswerDialogs({kUnexpectedBox});
        Click(Form1->Button3);

        EXPECT_EQ(DialogsAnswered(), 0);
        EXPECT_TRUE(SameLines(c.lines, recorder_.ShellLines()));
        const std::vector<ToolCall> calls = recorder_.Calls();
        EXPECT_EQ(ArgsOf(calls, "xterm"), (Invocations{{"-hold", "-T", "Tarvelin", "-e", std::string(c.command)}}));
        EXPECT_EQ(ArgsOf(calls, "mkisofs"), c.mkisofs);
        Invocations recorded = query;
        if (std::string(c.recorder) == "cdrecord")
            recorded.push_back(c.recorderArgs);
        EXPECT_EQ(ArgsOf(calls, "cdrecord"), recorded);
        const ToolCall* recorder = LastCallOf(calls, c.recorder);
        ASSERT_NE(recorder, nullptr);
        EXPECT_EQ(recorder->args, c.recorderArgs);
        EXPECT_EQ(recorder->track, kStandInImage) << "the recorder reads the image from the pipe";
        EXPECT_EQ(Form1->title.Text(), "no_name");
        EXPECT_TRUE(ScratchFilesLeft().empty());
    }
}

TEST_F(Operations, DriveWithoutProtectionIsToldAboutBeforeTheTitleChangesAndBurnsWithoutIt)
{
    recorder_.Answer("STANDIN_PRCAP", kUnprotectedDrive);
    for (int click = 1; click <= 2; ++click) {
        SCOPED_TRACE(click == 1 ? "first click" : "second click: the drive is asked again");
        Form1->title.SetText("no name");
        recorder_.Clear();
        std::string message, titleMeanwhile;
        std::vector<std::string> linesMeanwhile;
        Invocations mkisofsMeanwhile;
        AnswerDialogs({[&](GtkDialog* d) {
                           message = MessageOf(d);
                           titleMeanwhile = Form1->title.Text();
                           linesMeanwhile = recorder_.ShellLines();
                           mkisofsMeanwhile = ArgsOf(recorder_.Calls(), "mkisofs");
                           Dismiss(d);
                       },
                       kUnexpectedBox});
        Click(Form1->Button3);

        ASSERT_EQ(DialogsAnswered(), 1);
        EXPECT_EQ(message, kNoProtectionMessage);
        EXPECT_EQ(titleMeanwhile, "no name") << "the message comes before the title is rewritten";
        EXPECT_TRUE(SameLines({std::string(kQuery)}, linesMeanwhile));
        EXPECT_TRUE(mkisofsMeanwhile.empty());
        EXPECT_TRUE(SameLines({std::string(kQuery), Held(kUnprotectedCdBurn)}, recorder_.ShellLines()));
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord").back(),
                  (std::vector<std::string>{"-v", "-tao", "-eject", "dev=0,0,0", "-"}));
        EXPECT_TRUE(Form1->CheckGroup1.Checked(3)) << "the message leaves the tick alone";
    }
}

TEST_F(Operations, ImageBurnToldAboutAMissingProtectionBeforeTheTerminal)
{
    recorder_.Answer("STANDIN_PRCAP", kUnprotectedDrive);
    const std::string image = AnImage("backup.iso");
    Pick(Form1->ComboBox3, 1);
    std::string message;
    std::vector<std::string> linesMeanwhile;
    AnswerDialogs({Choose(files_, "backup.iso"), [&](GtkDialog* d) {
                       message = MessageOf(d);
                       linesMeanwhile = recorder_.ShellLines();
                       Dismiss(d);
                   },
                   kUnexpectedBox});
    Click(Form1->Button7);

    ASSERT_EQ(DialogsAnswered(), 2);
    EXPECT_EQ(message, kNoProtectionMessage);
    EXPECT_TRUE(SameLines({std::string(kQuery)}, linesMeanwhile));
    // The three bytes of the image start one sector.
    EXPECT_TRUE(SameLines(
        {std::string(kQuery),
         BurnImageTerminal("backup.iso", "dvd_cdrecord -v  -dao -eject -tsize=1s dev=0,0,0 " + image + " ")},
        recorder_.ShellLines()));
}

TEST_F(Operations, SizeFileThatCannotBeReadEndsTheBurnBeforeTheTerminal)
{
    Form1->title.SetText("no name");
    Pick(Form1->ComboBox3, 1);
    std::string error;
    AnswerDialogs({[&](GtkDialog* d) {
                       error = MessageOf(d);
                       Dismiss(d);
                   },
                   kUnexpectedBox});
    {
        const UncreatableSizeFile missing;
        Click(Form1->Button3);
    }
    EXPECT_EQ(DialogsAnswered(), 1);
    EXPECT_EQ(error, "File not found.");
    EXPECT_EQ(Form1->title.Text(), "no_name");
    EXPECT_TRUE(SameLines({std::string(kQuery), std::string(kSizeQuery)}, recorder_.ShellLines()));
    EXPECT_TRUE(ArgsOf(recorder_.Calls(), "xterm").empty());
    EXPECT_TRUE(ArgsOf(recorder_.Calls(), "dvd_cdrecord").empty());
}

// The image goes, or a folder takes its place, between the dialog and the
// burn: the size cannot be read, so the recorder is not started with a guess.
TEST_F(Operations, ImageWhoseSizeCannotBeReadEndsTheImageBurnBeforeTheTerminal)
{
    const fs::path image = files_ / "backup.iso";
    const struct {
        const char* name;
        std::function<void()> spoil;
        const char* error;
    } cases[] = {
        {"image gone", [&] { fs::remove(image); }, "File not found."},
        {"a folder in the image's place",
         [&] {
             fs::remove(image);
             fs::create_directory(image);
         },
         "Access denied."},
    };
    Pick(Form1->ComboBox3, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(image);
        AnImage("backup.iso");
        recorder_.Clear();
        std::string error;
        AnswerDialogs({OnceTaken(Choose(files_, "backup.iso"), c.spoil),
                       [&](GtkDialog* d) {
                           error = MessageOf(d);
                           Dismiss(d);
                       },
                       kUnexpectedBox});
        Click(Form1->Button7);

        EXPECT_EQ(DialogsAnswered(), 2);
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(SameLines({std::string(kQuery)}, recorder_.ShellLines())) << "only the capability query ran";
        const std::vector<ToolCall> calls = recorder_.Calls();
        EXPECT_TRUE(ArgsOf(calls, "xterm").empty());
        EXPECT_TRUE(ArgsOf(calls, "dvd_cdrecord").empty());
        EXPECT_TRUE(ArgsOf(calls, "mkisofs").empty());
    }
}

TEST_F(Operations, MediumThatIsNoItemStartsTheTerminalWithAnEmptyCommand)
{
    AnImage("backup.iso");
    Form1->ComboBox3.SetText("DVD ");
    AnswerDialogs({kUnexpectedBox});
    Click(Form1->Button3);
    EXPECT_EQ(DialogsAnswered(), 0);
    EXPECT_TRUE(SameLines({std::string(kQuery), "xterm -hold -T \"Tarvelin\" -e \"\""}, recorder_.ShellLines()));
    EXPECT_EQ(Form1->title.Text(), "no_name");
    EXPECT_TRUE(ArgsOf(recorder_.Calls(), "mkisofs").empty());

    recorder_.Clear();
    AnswerDialogs({Choose(files_, "backup.iso"), kUnexpectedBox});
    Click(Form1->Button7);
    EXPECT_EQ(DialogsAnswered(), 1);
    EXPECT_TRUE(SameLines({std::string(kQuery), "xterm -T \"Burn backup.iso\" -e \"\""}, recorder_.ShellLines()));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "xterm"), (Invocations{{"-T", "Burn backup.iso", "-e", ""}}));
}

TEST_F(Operations, TrackSizeIsTheFirstLineOfTheSizeAnswerAsItStands)
{
    const struct {
        const char* answer;
        const char* size;
    } cases[] = {
        {"12345\r\n", "12345"},
        {"12345\r\n678\r\n", "12345"},
        {"12345\n678\n", "12345"},
        {"12345 \n", "12345 "},
        {"", ""},
    };
    Pick(Form1->ComboBox3, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        recorder_.Answer("STANDIN_PRINT_SIZE", c.answer);
        recorder_.Clear();
        AnswerDialogs({kUnexpectedBox});
        Click(Form1->Button3);
        EXPECT_EQ(DialogsAnswered(), 0);
        const std::string burn = "mkisofs -R -V no_name -T -J  /home | dvd_cdrecord -v -dao -eject -tsize=" +
                                 std::string(c.size) + "s dev=0,0,0  driveropts=burnproof -";
        EXPECT_TRUE(SameLines({std::string(kQuery), std::string(kSizeQuery), Held(burn)}, recorder_.ShellLines()));
        EXPECT_TRUE(ScratchFilesLeft().empty());
    }
}

TEST_F(Operations, MakeIsoCancelledChangesAndRunsNothing)
{
    AnswerDialogs({PressCancel(), kUnexpectedBox});
    Click(Form1->Button6);
    EXPECT_EQ(DialogsAnswered(), 1);
    EXPECT_TRUE(recorder_.ShellLines().empty());
    EXPECT_TRUE(recorder_.Calls().empty());
    EXPECT_EQ(Form1->title.Text(), "no name");
}

TEST_F(Operations, MakeIsoWritesTheFolderIntoTheChosenFile)
{
    // No drive takes part: a drive that would bring a message is never asked.
    recorder_.Answer("STANDIN_PRCAP", kUnprotectedDrive);
    const std::string path = (files_ / "image.iso").string();
    const ToolsBesideProgram tools;
    for (const bool local : {false, true}) {
        SCOPED_TRACE(local ? "tools beside the program" : "tools on the search path");
        Form1->title.SetText("no name");
        Tick(Form1->CheckBox1, local);
        recorder_.Clear();
        AnswerDialogs({Choose(files_, "image"), kUnexpectedBox});
        Click(Form1->Button6);

        ASSERT_EQ(DialogsAnswered(), 1);
        const std::string tool = local ? "./mkisofs" : "mkisofs";
        EXPECT_TRUE(SameLines({"xterm -T \"Tarvelin\" -e \"" + tool + " -o " + path + " -R -V \"no_name\" -T -J  /home\""},
                              recorder_.ShellLines()));
        // The title's quotes close and reopen the quotation: the terminal gets one word without them.
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "xterm"),
                  (Invocations{{"-T", "Tarvelin", "-e", tool + " -o " + path + " -R -V no_name -T -J  /home"}}));
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "mkisofs"),
                  (Invocations{{"-o", path, "-R", "-V", "no_name", "-T", "-J", "/home"}}));
        EXPECT_EQ(Form1->title.Text(), "no_name");
    }
}

TEST_F(Operations, OpenIsoCancelledAsksNoDriveAndShowsNothing)
{
    recorder_.Answer("STANDIN_PRCAP", kUnprotectedDrive);
    AnswerDialogs({PressCancel(), kUnexpectedBox});
    Click(Form1->Button7);
    EXPECT_EQ(DialogsAnswered(), 1) << "no message after the cancelled dialog";
    EXPECT_TRUE(recorder_.ShellLines().empty());
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(Operations, OpenIsoBurnsTheImageToCd)
{
    const std::string image = AnImage("backup.iso");
    AnswerDialogs({Choose(files_, "backup.iso"), kUnexpectedBox});
    Click(Form1->Button7);
    EXPECT_EQ(DialogsAnswered(), 1);

    const std::string command = "cdrecord -v  -tao dev=0,0,0 " + image + " driveropts=burnproof";
    EXPECT_TRUE(SameLines({std::string(kQuery), BurnImageTerminal("backup.iso", command)}, recorder_.ShellLines()));
    const std::vector<ToolCall> calls = recorder_.Calls();
    EXPECT_EQ(ArgsOf(calls, "xterm"), (Invocations{{"-T", "Burn backup.iso", "-e", command}}));
    EXPECT_EQ(ArgsOf(calls, "cdrecord"),
              (Invocations{{"dev=0,0,0", "-prcap"}, {"-v", "-tao", "dev=0,0,0", image, "driveropts=burnproof"}}));
    EXPECT_TRUE(ArgsOf(calls, "mkisofs").empty());
}

// The folder field plays no part: mkisofs, which would measure it as 123456
// sectors, is never run, and no temp.cfg is made.
TEST_F(Operations, OpenIsoToDvdTellsTheRecorderTheImagesOwnSize)
{
    const struct {
        std::uintmax_t bytes;
        const char* tsize;
    } cases[] = {
        {0, "-tsize=0s"},
        {3, "-tsize=1s"},
        {2048 * 5, "-tsize=5s"},
        {2048 * 5 + 1, "-tsize=6s"},
        {2048ull * 123456, "-tsize=123456s"},
        {2048ull * 1000000 - 1, "-tsize=1000000s"},
    };
    const ToolsBesideProgram tools;
    const fs::path image = files_ / "backup.iso";
    Pick(Form1->ComboBox3, 1);
    Pick(Form1->speed, 3);
    Tick(Form1->CheckBox1, true);
    TickBurnproof(false);
    ASSERT_EQ(Form1->speed.Text(), "4");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tsize);
        std::ofstream(image, std::ios::trunc).close();
        fs::resize_file(image, c.bytes);
        recorder_.Clear();
        AnswerDialogs({Choose(files_, "backup.iso"), kUnexpectedBox});
        Click(Form1->Button7);
        EXPECT_EQ(DialogsAnswered(), 1);

        const std::string command =
            "dvd_cdrecord -v speed=4 -dao -eject " + std::string(c.tsize) + " dev=0,0,0 " + image.string() + " ";
        EXPECT_TRUE(SameLines({BurnImageTerminal("backup.iso", command)}, recorder_.ShellLines()));
        const std::vector<ToolCall> calls = recorder_.Calls();
        EXPECT_TRUE(ArgsOf(calls, "mkisofs").empty());
        EXPECT_EQ(ArgsOf(calls, "dvd_cdrecord"),
                  (Invocations{{"-v", "speed=4", "-dao", "-eject", c.tsize, "dev=0,0,0", image.string()}}));
        EXPECT_TRUE(ArgsOf(calls, "cdrecord").empty()) << "no capability query without Burnproof";
        EXPECT_EQ(Form1->foldertoburn.Text(), "/home");
        EXPECT_EQ(Form1->title.Text(), "no name");
    }
}

TEST_F(Operations, ImageBurnTerminalIsTitledWithTheFileNameOnly)
{
    fs::create_directories(files_ / "deeper");
    const struct {
        const char* folder;
        const char* name;
        const char* windowTitle;
    } cases[] = {
        {"", "backup.iso", "Burn backup.iso"},
        {"deeper", "disc.iso", "Burn disc.iso"},
        {"", "day:two.iso", "Burn two.iso"},
    };
    TickBurnproof(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = *c.folder ? files_ / c.folder : files_;
        std::ofstream(folder / c.name) << "ISO";
        recorder_.Clear();
        AnswerDialogs({Choose(folder, c.name), kUnexpectedBox});
        Click(Form1->Button7);
        EXPECT_EQ(DialogsAnswered(), 1);
        const Invocations xterm = ArgsOf(recorder_.Calls(), "xterm");
        ASSERT_EQ(xterm.size(), 1u);
        EXPECT_EQ(xterm[0].at(1), c.windowTitle);
        EXPECT_EQ(xterm[0].at(3), "cdrecord -v  -tao dev=0,0,0 " + (folder / c.name).string() + " ");
    }
}

TEST_F(Operations, EraseRunsCdrecordBareWithTheModesOptions)
{
    const struct {
        int mode;
        const char* option;
        std::vector<std::string> words;
    } cases[] = {
        {0, " -v blank=fast ", {"-v", "blank=fast"}},
        {1, " -v blank=all ", {"-v", "blank=all"}},
        {2, " -v blank=fast -force ", {"-v", "blank=fast", "-force"}},
        {3, " -v blank=all -force ", {"-v", "blank=all", "-force"}},
        {4, " -v blank=track ", {"-v", "blank=track"}},
        {5, " -v blank=unreserve ", {"-v", "blank=unreserve"}},
        {6, " -v blank=trtrail ", {"-v", "blank=trtrail"}},
        {7, " -v blank=unclose ", {"-v", "blank=unclose"}},
        {8, " -v blank=session ", {"-v", "blank=session"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Pick(Form1->ComboBox2, c.mode);
        recorder_.Clear();
        AnswerDialogs({kUnexpectedBox});
        Click(Form1->Button2);
        EXPECT_EQ(DialogsAnswered(), 0);
        EXPECT_TRUE(SameLines({"xterm -T \"Tarvelin\" -e cdrecord dev=0,0,0" + std::string(c.option)},
                              recorder_.ShellLines()));
        std::vector<std::string> cdrecord = {"dev=0,0,0"};
        cdrecord.insert(cdrecord.end(), c.words.begin(), c.words.end());
        std::vector<std::string> xterm = {"-T", "Tarvelin", "-e", "cdrecord"};
        xterm.insert(xterm.end(), cdrecord.begin(), cdrecord.end());
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "xterm"), Invocations{xterm});
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord"), Invocations{cdrecord});
    }

    Form1->ComboBox2.SetText("Erase everything");
    recorder_.Clear();
    Click(Form1->Button2);
    EXPECT_TRUE(SameLines({"xterm -T \"Tarvelin\" -e cdrecord dev=0,0,0"}, recorder_.ShellLines()));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord"), (Invocations{{"dev=0,0,0"}}));
}

TEST_F(Operations, EraseWithToolsBesideTheProgramRunsTheirCdrecord)
{
    const ToolsBesideProgram tools;
    Tick(Form1->CheckBox1, true);
    AnswerDialogs({kUnexpectedBox});
    Click(Form1->Button2);
    EXPECT_EQ(DialogsAnswered(), 0);
    EXPECT_TRUE(SameLines({"xterm -T \"Tarvelin\" -e ./cdrecord dev=0,0,0 -v blank=fast "}, recorder_.ShellLines()));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "xterm"),
              (Invocations{{"-T", "Tarvelin", "-e", "./cdrecord", "dev=0,0,0", "-v", "blank=fast"}}));
    EXPECT_EQ(ArgsOf(recorder_.Calls(), "cdrecord"), (Invocations{{"dev=0,0,0", "-v", "blank=fast"}}));
}

TEST_F(Operations, FormatShowsItsCommandThenRunsItHoweverTheBoxIsClosed)
{
    const struct {
        const char* name;
        const char* device;
        bool local;
        GtkResponseType response;
        const char* message;
        const char* line;
        std::vector<std::string> formatArgs;
    } cases[] = {
        {"defaults", "/dev/cdrom", false, GTK_RESPONSE_OK, "dvd+rw-format -lead-out /dev/cdrom",
         "xterm -e dvd+rw-format -lead-out /dev/cdrom", {"-lead-out", "/dev/cdrom"}},
        {"tools beside the program", "/dev/cdrom", true, GTK_RESPONSE_OK, "dvd+rw-format -lead-out /dev/cdrom",
         "xterm -e dvd+rw-format -lead-out /dev/cdrom", {"-lead-out", "/dev/cdrom"}},
        {"box closed", "/dev/cdrom", false, GTK_RESPONSE_DELETE_EVENT, "dvd+rw-format -lead-out /dev/cdrom",
         "xterm -e dvd+rw-format -lead-out /dev/cdrom", {"-lead-out", "/dev/cdrom"}},
        {"no device", "", false, GTK_RESPONSE_OK, "dvd+rw-format -lead-out ", "xterm -e dvd+rw-format -lead-out ",
         {"-lead-out"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form1->edit1.SetText(c.device);
        Tick(Form1->CheckBox1, c.local);
        recorder_.Clear();
        std::string message;
        std::vector<std::string> linesMeanwhile;
        AnswerDialogs({[&](GtkDialog* d) {
            message = MessageOf(d);
            linesMeanwhile = recorder_.ShellLines();
            if (c.response == GTK_RESPONSE_DELETE_EVENT)
                gtk_window_close(GTK_WINDOW(d));   // as the window manager's close does
            else
                PressOk()(d);
        }, kUnexpectedBox});
        Click(Form1->Button8);

        ASSERT_EQ(DialogsAnswered(), 1);
        EXPECT_SAME_TEXT(std::string(c.message), message);
        EXPECT_TRUE(linesMeanwhile.empty()) << "the box comes before the terminal";
        EXPECT_TRUE(SameLines({c.line}, recorder_.ShellLines()));
        std::vector<std::string> xterm = {"-e", "dvd+rw-format"};
        xterm.insert(xterm.end(), c.formatArgs.begin(), c.formatArgs.end());
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "xterm"), Invocations{xterm});
        EXPECT_EQ(ArgsOf(recorder_.Calls(), "dvd+rw-format"), Invocations{c.formatArgs});
    }
}

} // namespace
