// The whole line of each operation, terminal wrapper included, run through
// /bin/sh -c as the Shell runner does, with stand-ins for xterm and the
// recording tools. The stand-in xterm behaves like the real one: a single
// word after "-e" is a shell command line, several words are the program
// and its arguments. The tool stand-ins record how they were called.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "command_text.h"
#include "commands/fragments.h"
#include "commands/operations.h"
#include "commands/quoting.h"
#include "shell_harness.h"

using namespace commands;
using command_text::Visible;
using Words = std::vector<std::string>;

namespace {

constexpr const char* kRecordCall =
    "#!/bin/sh\n"
    "# Records the name the shell ran it by, then each argument, each ended by NUL.\n"
    "{ printf '%s\\0' \"$0\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } >\"$STANDIN_LOG/${0##*/}.args\"\n";

constexpr const char* kXterm =
    "#!/bin/sh\n"
    "{ printf '%s\\0' \"$0\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } >\"$STANDIN_LOG/xterm.args\"\n"
    "while [ $# -gt 0 ] && [ \"$1\" != -e ]; do shift; done\n"
    "[ $# -gt 0 ] && shift\n"
    "if [ $# -eq 1 ]; then exec /bin/sh -c \"$1\"; fi\n"
    "exec \"$@\"\n";

class WrappedCommands : public ::testing::Test {
protected:
    shell_harness::TempDir root;
    // Tools found on the search path.
    std::string pathDir = root / "path";
    // The program's own folder, the working directory: tools named with "./".
    std::string programDir = root / "program";
    std::string logDir = root / "log";

    void SetUp() override
    {
        for (const std::string& d : {pathDir, programDir, logDir})
            ASSERT_EQ(0, mkdir(d.c_str(), 0700)) << d;
        shell_harness::WriteExecutable(pathDir + "/xterm", kXterm);
        for (const char* tool : {"mkisofs", "cdrecord", "dvd_cdrecord", "dvd+rw-format"})
            shell_harness::WriteExecutable(pathDir + "/" + tool, kRecordCall);
        // dvd_cdrecord, xterm and dvd+rw-format are never run from here.
        for (const char* tool : {"mkisofs", "cdrecord"})
            shell_harness::WriteExecutable(programDir + "/" + tool, kRecordCall);
    }

    // Runs the line in the program's folder; fails when the shell did not end
    // cleanly or when anything inside a value ran.
    void Run(const std::string& line)
    {
        for (const char* tool : {"xterm", "mkisofs", "cdrecord", "dvd_cdrecord", "dvd+rw-format"})
            std::remove((logDir + "/" + tool + ".args").c_str());
        const std::vector<std::string> environment{
            "PATH=" + pathDir + ":/usr/bin:/bin", "HOME=/nonexistent-home", "STANDIN_LOG=" + logDir, "LC_ALL=C"};
        const int status = shell_harness::RunShell(line, programDir, environment);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "shell status " << status << " for " << Visible(line);
        const std::string pwned = programDir + "/pwned";
        EXPECT_FALSE(shell_harness::Exists(pwned)) << "a command in a value ran: " << Visible(line);
        std::remove(pwned.c_str());
    }

    // What the tool was called by and with; a single "<not run>" when it never ran.
    Words Call(const std::string& tool) const
    {
        return shell_harness::ReadWords(logDir + "/" + tool + ".args").value_or(Words{"<not run>"});
    }

    std::string OnPath(const std::string& tool) const { return pathDir + "/" + tool; }
    static std::string Local(const std::string& tool) { return "./" + tool; }
};

Words Join(Words head, const Words& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct NamedValues {
    std::string title;
    std::string folder;
};

// The title goes through the blank rewrite first, so a command hidden in it
// is written with a tab to stay a command. Empty ones stay one empty word.
const std::vector<NamedValues> kFolderBurnValues = {
    {"no name", "/home"},
    {"", ""},
    {"Bob's disc", "/home/my files"},
    {"it's $HOME `x`", "/home/it's $HOME `x`.txt"},
    {"tab\there", "semi;colon|a&&touch pwned"},
    {"$(touch\tpwned)", "$(touch pwned)"},
    {"a\"b\\c", "new\nline"},
    {"'", "*"},
    {"~user", "~user/back\\slash"},
};

TEST_F(WrappedCommands, FolderBurnGivesMkisofsTheTitleAndTheFolderAsOneWordEach)
{
    for (const NamedValues& v : kFolderBurnValues) {
        for (bool local : {false, true}) {
            for (Medium medium : {Medium::CD, Medium::DVD}) {
                SCOPED_TRACE(testing::Message() << Visible(v.title) << " " << Visible(v.folder)
                                                << (local ? " program folder" : " search path")
                                                << (medium == Medium::CD ? " CD" : " DVD"));
                FolderBurn burn;
                burn.toolsInProgramFolder = local;
                burn.title = VolumeTitle(v.title);
                burn.folder = v.folder;
                burn.trackSize = "123456";
                burn.device = "0,0,0";
                burn.burnArgument = std::string(kBurnproofArgument);
                Run(BurnFolderTerminalLine(BurnFolderCommand(burn, medium)));

                const Words xterm = Call("xterm");
                ASSERT_EQ(6u, xterm.size()) << testing::PrintToString(xterm);
                EXPECT_EQ((Words{OnPath("xterm"), "-hold", "-T", "Tarvelin", "-e"}), Words(xterm.begin(), xterm.end() - 1));

                const std::string mkisofs = local ? Local("mkisofs") : OnPath("mkisofs");
                EXPECT_EQ((Words{mkisofs, "-R", "-V", VolumeTitle(v.title), "-T", "-J", v.folder}), Call("mkisofs"));
                if (medium == Medium::CD) {
                    const std::string cdrecord = local ? Local("cdrecord") : OnPath("cdrecord");
                    EXPECT_EQ((Words{cdrecord, "-v", "-tao", "-eject", "dev=0,0,0", "driveropts=burnproof", "-"}),
                              Call("cdrecord"));
                } else {
                    EXPECT_EQ((Words{OnPath("dvd_cdrecord"), "-v", "-dao", "-eject", "-tsize=123456s", "dev=0,0,0",
                                     "driveropts=burnproof", "-"}),
                              Call("dvd_cdrecord"));
                }
            }
        }
    }
}

TEST_F(WrappedCommands, DefaultFolderBurnReachesTheTerminalAsItsExactCommand)
{
    FolderBurn burn;
    burn.title = "no_name";
    burn.folder = "/home";
    burn.device = "0,0,0";
    burn.burnArgument = std::string(kBurnproofArgument);
    Run(BurnFolderTerminalLine(BurnFolderCommand(burn, Medium::CD)));
    const Words xterm = Call("xterm");
    ASSERT_FALSE(xterm.empty());
    EXPECT_SAME_TEXT("mkisofs -R -V no_name -T -J  /home | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -",
                     xterm.back());
}

struct ImageValues {
    std::string path;
    std::string title;
    std::string folder;
    bool longJoliet, isoLevel4, noDeepFolders;
    Words optionWords;
};

TEST_F(WrappedCommands, MakeImageGivesMkisofsThePathTitleAndFolderAsOneWordEach)
{
    const std::vector<ImageValues> rows = {
        {"/home/image.iso", "no name", "/home", false, false, false, {}},
        {"", "", "", false, false, false, {}},
        {"", "", "", true, false, true, {"-joliet-long", "-D"}},
        {"/tmp/it's $HOME `x`.iso", "Bob's disc", "/home/my files", true, false, false, {"-joliet-long"}},
        {"/tmp/my image.iso", "tab\there", "$(touch pwned)", false, true, true,
         {"-joliet-long", "-iso-level", "4", "-D"}},
        {"/tmp/$(touch pwned).iso", "`touch\tpwned`", "`touch pwned`", false, false, true, {"-D"}},
        {"/tmp/a\"b\\c.iso", "a\"b\\c`d`$e", "new\nline", false, false, false, {}},
        {"/tmp/*.iso", "'", "x'; touch pwned; '", false, false, false, {}},
        {"/tmp/100%.iso", "~user *", "~", false, false, false, {}},
    };
    for (const ImageValues& r : rows) {
        for (bool local : {false, true}) {
            SCOPED_TRACE(testing::Message() << Visible(r.path) << " " << Visible(r.title) << " " << Visible(r.folder)
                                            << (local ? " program folder" : " search path"));
            ImageFile image;
            image.toolsInProgramFolder = local;
            image.path = r.path;
            image.title = VolumeTitle(r.title);
            image.imageOptions = ImageOptions(r.longJoliet, r.isoLevel4, r.noDeepFolders);
            image.folder = r.folder;
            Run(MakeImageTerminalLine(MakeImageCommand(image)));

            const Words xterm = Call("xterm");
            ASSERT_EQ(5u, xterm.size()) << testing::PrintToString(xterm);
            EXPECT_EQ((Words{OnPath("xterm"), "-T", "Tarvelin", "-e"}), Words(xterm.begin(), xterm.end() - 1));

            const std::string mkisofs = local ? Local("mkisofs") : OnPath("mkisofs");
            EXPECT_EQ(Join(Join({mkisofs, "-o", r.path, "-R", "-V", VolumeTitle(r.title), "-T", "-J"}, r.optionWords),
                           {r.folder}),
                      Call("mkisofs"));
        }
    }
}

// The title's own double quotes vanish in the outer shell, so the terminal's
// command is the image command without them.
TEST_F(WrappedCommands, DefaultImageCommandReachesTheTerminalWithoutTheTitleQuotes)
{
    ImageFile image;
    image.path = "/home/image.iso";
    image.title = "no_name";
    image.folder = "/home";
    Run(MakeImageTerminalLine(MakeImageCommand(image)));
    const Words xterm = Call("xterm");
    ASSERT_FALSE(xterm.empty());
    EXPECT_SAME_TEXT("mkisofs -o /home/image.iso -R -V no_name -T -J  /home", xterm.back());
    EXPECT_EQ(53u, xterm.back().size());
}

TEST_F(WrappedCommands, ImageBurnGivesTheRecorderThePathAsOneWord)
{
    struct Row {
        std::string path;
        std::string name;
    };
    const std::vector<Row> rows = {
        {"/home/user/backup.iso", "backup.iso"},
        {"", ""},
        {"/home/user/my backup.iso", "my backup.iso"},
        {"/tmp/it's $HOME `x`.iso", "it's $HOME `x`.iso"},
        {"/tmp/a\"b\\c.iso", "a\"b\\c.iso"},
        {"/tmp/$(touch pwned).iso", "$(touch pwned).iso"},
        {"/tmp/*.iso", "*.iso"},
        {"/tmp/semi;colon&&touch pwned|x.iso", "semi;colon&&touch pwned|x.iso"},
        {"/tmp/new\nline.iso", "new\nline.iso"},
    };
    for (const Row& r : rows) {
        for (bool local : {false, true}) {
            for (Medium medium : {Medium::CD, Medium::DVD}) {
                SCOPED_TRACE(testing::Message() << Visible(r.path) << (local ? " program folder" : " search path")
                                                << (medium == Medium::CD ? " CD" : " DVD"));
                ImageBurn burn;
                burn.toolsInProgramFolder = local;
                burn.device = "0,0,0";
                burn.path = r.path;
                if (medium == Medium::CD) {
                    burn.burnArgument = std::string(kBurnproofArgument);
                } else {
                    burn.speed = SpeedArgument("4");
                    burn.trackSize = "123456";
                }
                Run(BurnImageTerminalLine(r.name, BurnImageCommand(burn, medium)));

                const Words xterm = Call("xterm");
                ASSERT_EQ(5u, xterm.size()) << testing::PrintToString(xterm);
                EXPECT_EQ((Words{OnPath("xterm"), "-T", "Burn " + r.name, "-e"}), Words(xterm.begin(), xterm.end() - 1));
                if (medium == Medium::CD) {
                    const std::string cdrecord = local ? Local("cdrecord") : OnPath("cdrecord");
                    EXPECT_EQ((Words{cdrecord, "-v", "-tao", "dev=0,0,0", r.path, "driveropts=burnproof"}),
                              Call("cdrecord"));
                } else {
                    EXPECT_EQ((Words{OnPath("dvd_cdrecord"), "-v", "speed=4", "-dao", "-eject", "-tsize=123456s",
                                     "dev=0,0,0", r.path}),
                              Call("dvd_cdrecord"));
                }
            }
        }
    }
}

TEST_F(WrappedCommands, TrackSizeQueryMeasuresTheFolderAsOneWordIntoTheScratchFile)
{
    const std::vector<std::string> folders = {"/home", "", "/home/my files", "/home/it's $HOME `x`", "$(touch pwned)",
                                              "a;touch pwned", "*", "new\nline", "a\"b\\c"};
    for (const std::string& folder : folders) {
        for (bool local : {false, true}) {
            SCOPED_TRACE(testing::Message() << Visible(folder) << (local ? " program folder" : " search path"));
            const std::string scratch = programDir + "/" + std::string(kTrackSizeFile);
            std::remove(scratch.c_str());
            Run(TrackSizeQuery(local, folder));
            EXPECT_EQ((Words{local ? Local("mkisofs") : OnPath("mkisofs"), "-J", "-r", "-print-size", folder}),
                      Call("mkisofs"));
            EXPECT_TRUE(shell_harness::Exists(scratch)) << "the query's output did not go to temp.cfg";
        }
    }
}

// The erase and format lines hand xterm the tool and its words bare.
TEST_F(WrappedCommands, EraseAndFormatReachTheToolWordByWord)
{
    struct Row {
        const char* what;
        std::string line;
        std::string tool;
        Words call;
    };
    const std::vector<Row> rows = {
        {"quick erase", EraseTerminalLine(EraseCommand(false, "0,0,0", 0)), "cdrecord",
         {OnPath("cdrecord"), "dev=0,0,0", "-v", "blank=fast"}},
        {"quick erase from the program folder", EraseTerminalLine(EraseCommand(true, "0,0,0", 0)), "cdrecord",
         {Local("cdrecord"), "dev=0,0,0", "-v", "blank=fast"}},
        {"forced full erase", EraseTerminalLine(EraseCommand(false, "1,0,0", 3)), "cdrecord",
         {OnPath("cdrecord"), "dev=1,0,0", "-v", "blank=all", "-force"}},
        {"no erase mode", EraseTerminalLine(EraseCommand(false, "0,0,0", -1)), "cdrecord", {OnPath("cdrecord"), "dev=0,0,0"}},
        {"empty device", EraseTerminalLine(EraseCommand(false, "", 8)), "cdrecord",
         {OnPath("cdrecord"), "dev=", "-v", "blank=session"}},
        {"empty device, no erase mode", EraseTerminalLine(EraseCommand(false, "", 9)), "cdrecord", {OnPath("cdrecord"), "dev="}},
        {"format", FormatTerminalLine(FormatCommand("/dev/cdrom")), "dvd+rw-format",
         {OnPath("dvd+rw-format"), "-lead-out", "/dev/cdrom"}},
        {"format without a device", FormatTerminalLine(FormatCommand("")), "dvd+rw-format",
         {OnPath("dvd+rw-format"), "-lead-out"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Run(r.line);
        EXPECT_EQ(r.call, Call(r.tool));
    }
}

} // namespace
