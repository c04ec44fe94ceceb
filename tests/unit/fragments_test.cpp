// The pieces that the burn and image commands are built from: template
// filling, speed, image options, the title rewrite, the track-size query and
// the buffer-underrun marker.

#include <gtest/gtest.h>

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
    });
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
