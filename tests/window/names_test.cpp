// Names that are not UTF-8 (a Latin-1 folder, a drive line with a stray
// byte) reach the tools byte for byte, though GTK shows UTF-8 only; what the
// user types instead is what the tools get.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support.h"

namespace {

std::string Readable(const std::string& bytes)
{
    gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
    std::string readable = valid;
    g_free(valid);
    return readable;
}

std::string Shown(const ui::TControl& control)
{
    GtkWidget* entry = GTK_IS_COMBO_BOX(control.Widget()) ? gtk_bin_get_child(GTK_BIN(control.Widget())) : control.Widget();
    return gtk_entry_get_text(GTK_ENTRY(entry));
}

// The last argument mkisofs was given: the folder it makes the image of.
std::string FolderGivenToMkisofs(const Recorder& recorder)
{
    const auto calls = ArgsOf(recorder.Calls(), "mkisofs");
    return calls.empty() || calls.back().empty() ? "(mkisofs never ran)" : calls.back().back();
}

class Names : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(fs::exists(fs::symlink_status(driveList_))) << driveList_ << " lies in the program's folder";
        recorder_.Answer("STANDIN_PRCAP", "");
        fs::create_directories(scratch_);
    }
    void TearDown() override
    {
        AnswerDialogs({});
        fs::remove(driveList_);
    }

    void StartWithDriveList(const std::string& content)
    {
        std::ofstream(driveList_, std::ios::binary) << content;
        StartForm();
    }

    Recorder recorder_;
    const fs::path driveList_ = ProgramDir() / "device.config";
    const fs::path scratch_ = recorder_.Dir() / "files";
};

TEST_F(Names, DriveListLinesReachTheRecorderByteForByte)
{
    const struct {
        const char* name;
        std::string line;
        std::string query;
    } cases[] = {
        {"a Latin-1 device path", "/dev/caf\xe9", "cdrecord dev=/dev/caf\xe9 -prcap >device.cfg"},
        {"a lone lead byte ends the path", "/dev/\xc3", "cdrecord dev=/dev/\xc3 -prcap >device.cfg"},
        {"five bytes cut inside a character", "\xc3\xa9\xc3\xa9\xc3\xa9", "cdrecord dev=\xc3\xa9\xc3\xa9\xc3 -prcap >device.cfg"},
        {"a stray byte in a bus address", "1,0,\xe9 Latin-1", "cdrecord dev=1,0,\xe9 -prcap >device.cfg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.Clear();
        StartWithDriveList(c.line + "\n");
        ASSERT_EQ(Form1->ComboBox1.Items.Count(), 1);
        EXPECT_EQ(Form1->ComboBox1.Items[0], c.line);
        EXPECT_EQ(Form1->ComboBox1.Text(), c.line);
        EXPECT_EQ(Shown(Form1->ComboBox1), Readable(c.line));
        EXPECT_TRUE(SameLines({c.query}, recorder_.ShellLines()));
    }
}

TEST_F(Names, PickingOneOfTwoLinesThatLookAlikeGivesItsOwnBytes)
{
    StartWithDriveList("/dev/caf\xe9\n/dev/caf\xe8\n");
    ASSERT_EQ(Shown(Form1->ComboBox1), Readable("/dev/caf\xe8")) << "both show the same";
    gtk_combo_box_set_active(GTK_COMBO_BOX(Form1->ComboBox1.Widget()), 1);
    EXPECT_EQ(Form1->ComboBox1.Text(), "/dev/caf\xe8");
    EXPECT_EQ(Form1->ComboBox1.ItemIndex(), 1);

    recorder_.Clear();
    Click(Form1->Button2);
    const auto erase = ArgsOf(recorder_.Calls(), "cdrecord");
    ASSERT_EQ(erase.size(), 1u);
    EXPECT_NE(std::find(erase[0].begin(), erase[0].end(), "dev=/dev/caf\xe8"), erase[0].end())
        << "the erase went to another drive";
}

TEST_F(Names, ScannedEntryKeepsItsBytes)
{
    recorder_.Answer("STANDIN_SCANBUS", "\t0,0,0\t0) 'CAF\xc9' 'M' 'R' Removable CD-ROM\n");
    StartForm();
    ASSERT_EQ(Form1->ComboBox1.Items.Count(), 1);
    EXPECT_EQ(Form1->ComboBox1.Items[0], "0,0,00) 'CAF\xc9' 'M' 'R'");
    EXPECT_EQ(Form1->ComboBox1.Text(), "0,0,00) 'CAF\xc9' 'M' 'R'");
    EXPECT_EQ(Shown(Form1->ComboBox1), Readable("0,0,00) 'CAF\xc9' 'M' 'R'"));
}

TEST_F(Names, FolderPickedInTheChooserReachesMkisofsByteForByte)
{
    const struct {
        const char* name;
        std::string folder;
    } cases[] = {
        {"Latin-1", "caf\xe9"},
        {"a lone lead byte, which once gave the parent folder", "\xc3"},
        {"UTF-8", "caf\xc3\xa9"},
    };
    StartForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = (scratch_ / c.folder).string();
        fs::create_directory(folder);
        AnswerDialogs({ChooseFolder(folder)});
        Click(Form1->Button1);
        ASSERT_EQ(DialogsAnswered(), 1);
        EXPECT_EQ(Form1->foldertoburn.Text(), folder);
        EXPECT_EQ(Shown(Form1->foldertoburn), Readable(folder));

        recorder_.Clear();
        AnswerDialogs({});
        Click(Form1->Button3);
        EXPECT_EQ(FolderGivenToMkisofs(recorder_), folder);
    }
}

TEST_F(Names, WhatTheUserTypesReplacesThePickedName)
{
    StartForm();
    const std::string folder = (scratch_ / "caf\xe9").string();
    fs::create_directory(folder);
    AnswerDialogs({ChooseFolder(folder)});
    Click(Form1->Button1);
    ASSERT_EQ(Form1->foldertoburn.Text(), folder);

    // One more character typed at the end of what the field shows.
    GtkEditable* field = GTK_EDITABLE(Form1->foldertoburn.Widget());
    gint end = gtk_entry_get_text_length(GTK_ENTRY(field));
    gtk_editable_insert_text(field, "2", 1, &end);
    const std::string typed = Readable(folder) + "2";
    EXPECT_EQ(Form1->foldertoburn.Text(), typed);

    recorder_.Clear();
    Click(Form1->Button3);
    EXPECT_EQ(FolderGivenToMkisofs(recorder_), typed);
}

TEST_F(Names, TypingAfterAPickedItemGivesTheTypedText)
{
    StartForm();
    gtk_combo_box_set_active(GTK_COMBO_BOX(Form1->speed.Widget()), 5);
    ASSERT_EQ(Form1->speed.Text(), "16");
    GtkEditable* entry = GTK_EDITABLE(gtk_bin_get_child(GTK_BIN(Form1->speed.Widget())));
    gint end = 2;
    gtk_editable_insert_text(entry, "0", 1, &end);
    EXPECT_EQ(Form1->speed.Text(), "160");
    EXPECT_EQ(Form1->speed.ItemIndex(), -1);
}

} // namespace
