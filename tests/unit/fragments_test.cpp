// The pieces that the burn and image commands are built from: template
// filling, speed, image options, the title rewrite, the track-size query, an
// image's track size and the buffer-underrun marker.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "command_text.h"
#include "commands/fragments.h"
#include "commands/operations.h"

using namespace commands;
using command_text::ExpectExact;

namespace {

TEST(Fill, MarkersAreFilledOnceFromLeftToRight)
{
    struct Row {
        std::string_view tmpl;
        std::initializer_list<std::string_view> args;
        std::string_view filled;
    };
    const Row rows[] = {
        {"a %s b", {"%"}, "a % b"},
        {"a %s b", {"%s"}, "a %s b"},
        {"%s%s", {"%s", "z"}, "%sz"},
        {"[%s|%s|%s]", {"1", "22", "333"}, "[1|22|333]"},
        {"-tsize=%ss", {"123456"}, "-tsize=123456s"},
        {"-tsize=%ss", {""}, "-tsize=s"},
        {"x %s %s y", {"", ""}, "x   y"},
        {"no markers", {}, "no markers"},
        {"%", {}, "%"},
        {"100%% %s", {"a"}, "100%% a"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.tmpl));
        EXPECT_SAME_TEXT(r.filled, Fill(r.tmpl, r.args));
    }
}

TEST(Fragments, SpeedArgument)
{
    struct Row {
        std::string_view typed, argument;
    };
    const Row rows[] = {
        {"MAX", ""},
        {"max", ""},
        {"Max", ""},
        {"mAx", ""},
        {"16", "speed=16"},
        {"8", "speed=8"},
        {"", "speed="},
        {" MAX", "speed= MAX"},
        {"MAX ", "speed=MAX "},
        {"MAXX", "speed=MAXX"},
        {"fast", "speed=fast"},
        {"m\xC3\x81x", "speed=m\xC3\x81x"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.typed));
        EXPECT_SAME_TEXT(r.argument, SpeedArgument(r.typed));
    }
}

TEST(Fragments, ImageOptionsForEveryCombination)
{
    struct Row {
        bool longJoliet, isoLevel4, noDeepFolders;
        std::string_view options;
    };
    const Row rows[] = {
        {false, false, false, ""},
        {true, false, false, "-joliet-long"},
        {false, true, false, " -joliet-long -iso-level 4"},
        {true, true, false, " -joliet-long -iso-level 4"},
        {false, false, true, " -D"},
        {true, false, true, "-joliet-long -D"},
        {false, true, true, " -joliet-long -iso-level 4 -D"},
        {true, true, true, " -joliet-long -iso-level 4 -D"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "options " << r.longJoliet << r.isoLevel4 << r.noDeepFolders);
        EXPECT_SAME_TEXT(r.options, ImageOptions(r.longJoliet, r.isoLevel4, r.noDeepFolders));
    }
}

TEST(Fragments, VolumeTitleReplacesOnlyBlanks)
{
    struct Row {
        std::string_view typed, title;
    };
    const Row rows[] = {
        {"no name", "no_name"},
        {" a  b ", "_a__b_"},
        {"my first disc", "my_first_disc"},
        {"", ""},
        {"no_name", "no_name"},
        {"tab\there x", "tab\there_x"},
        {"new\nline", "new\nline"},
        {"non\xC2\xA0" "breaking", "non\xC2\xA0" "breaking"},
        {"Bob's disc", "Bob's_disc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.typed));
        EXPECT_SAME_TEXT(r.title, VolumeTitle(r.typed));
    }
}

TEST(Fragments, TrackSizeQueryMeasuresTheFolder)
{
    ExpectExact({
        {"plain", TrackSizeQuery(false, "/home"), "mkisofs -J -r -print-size /home >temp.cfg", 41},
        {"program folder", TrackSizeQuery(true, "/home"), "./mkisofs -J -r -print-size /home >temp.cfg", 43},
        {"folder with a blank, quoted once for the shell", TrackSizeQuery(false, "/home/my files"),
         "mkisofs -J -r -print-size '/home/my files' >temp.cfg", 52},
        {"folder with a dollar is not escaped: no double quotes here", TrackSizeQuery(false, "$HOME"),
         "mkisofs -J -r -print-size '$HOME' >temp.cfg", 43},
        {"empty folder is one empty word", TrackSizeQuery(false, ""), "mkisofs -J -r -print-size '' >temp.cfg", 38},
    });
}

// A DVD image burn tells the recorder the image's own size in sectors: a
// size too small would cut the disc short.
TEST(Fragments, TrackSizeOfBytesCountsEveryStartedSector)
{
    struct Row {
        std::uint64_t bytes;
        std::string_view sectors;
    };
    const Row rows[] = {
        {0, "0"},
        {1, "1"},
        {2047, "1"},
        {2048, "1"},
        {2049, "2"},
        {2048ull * 123456, "123456"},
        {2048ull * 123455 + 1, "123456"},
        {2048ull * 123456 + 1, "123457"},
        {4700372992ull, "2295104"},  // a single-layer DVD, full
        {UINT64_MAX, "9007199254740992"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.bytes << " bytes");
        EXPECT_SAME_TEXT(r.sectors, TrackSizeOfBytes(r.bytes));
    }
}

// The queries' templates are checked against their scratch file's name when
// the program is built; the check itself must tell a redirection into the
// file from anything that merely ends like it.
TEST(Fragments, TemplateWritesIntoItsScratchFileOnlyThroughARedirection)
{
    struct Row {
        ToolTemplate tmpl;
        bool writesIntoTempCfg;
    };
    const Row rows[] = {
        {{"mkisofs -print-size %s >temp.cfg", "./mkisofs -print-size %s >temp.cfg"}, true},
        {{"mkisofs -print-size %s >temp.cfg", "./mkisofs -print-size %s >device.cfg"}, false},
        {{"mkisofs -print-size %s >temp.cfg.old", "./mkisofs -print-size %s >temp.cfg.old"}, false},
        {{"mkisofs -print-size %s >xtemp.cfg", "./mkisofs -print-size %s >xtemp.cfg"}, false},
        {{"mkisofs -print-size %s > temp.cfg", "./mkisofs -print-size %s > temp.cfg"}, false},
        {{"mkisofs -print-size temp.cfg", "./mkisofs -print-size temp.cfg"}, false},
        {{"temp.cfg", "temp.cfg"}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.tmpl.plain) + " / " + command_text::Visible(r.tmpl.local));
        EXPECT_EQ(r.writesIntoTempCfg, r.tmpl.WritesInto(kTrackSizeFile));
    }
}

TEST(Fragments, BurnproofMarkerIsACaseSensitiveRunAnywhereInTheLine)
{
    struct Row {
        std::string_view line;
        bool holds;
    };
    const Row rows[] = {
        {"Does not support Buffer-Underrun-Free recording", true},
        {"  Does not support Buffer-Underrun-Free recording  ", true},
        {"x: Does not support Buffer-Underrun-Free recording.", true},
        {"Does not support buffer-Underrun-Free recording", false},
        {"Does support Buffer-Underrun-Free recording", false},
        {"Does not support Buffer-Underrun-Free", false},
        {"", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(command_text::Visible(r.line));
        EXPECT_EQ(r.holds, HoldsBurnproofMarker(r.line));
    }
}

TEST(Fragments, MediumFromItemIndex)
{
    EXPECT_EQ(Medium::CD, MediumFromIndex(0));
    EXPECT_EQ(Medium::DVD, MediumFromIndex(1));
    EXPECT_EQ(Medium::Neither, MediumFromIndex(-1));
    EXPECT_EQ(Medium::Neither, MediumFromIndex(2));
}

} // namespace
