// The message box, the error box and the file dialogs, as the operations use them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "os/files.h"
#include "support.h"

namespace {

std::string CurrentDir()
{
    return fs::current_path().string();
}

using Boxes = StartedWindow;

TEST_F(Boxes, AboutShowsTwoLinesTheFirstEmpty)
{
    std::string message, caption;
    AnswerDialogs({[&](GtkDialog* d) {
        message = MessageOf(d);
        caption = gtk_window_get_title(GTK_WINDOW(d));
        PressOk()(d);
    }});
    recorder_.Clear();
    Click(Form1->Button4);
    ASSERT_EQ(DialogsAnswered(), 1);
    EXPECT_EQ(message.substr(0, 2), "\r\n");
    EXPECT_EQ(message.find("\r\n", 2), std::string::npos);
    EXPECT_GT(message.size(), 2u);
    EXPECT_EQ(caption, "window_tests") << "the boxes carry the executable's name";
    EXPECT_TRUE(recorder_.ShellLines().empty()) << "About runs nothing";
}

TEST_F(Boxes, FolderChooserFillsTheFolderFieldAndPutsTheWorkingDirectoryBack)
{
    const std::string before = CurrentDir();
    const fs::path chosen = scratch_ / "my files";
    fs::create_directory(chosen);

    std::string startedIn;
    AnswerDialogs({[&](GtkDialog* d) {
        startedIn = CurrentFolderOf(d);
        EXPECT_EQ(MessageOf(d), "Select Directory to burn");
        ChooseFolder(chosen)(d);
    }});
    Click(Form1->Button1);
    EXPECT_EQ(startedIn, "/home");
    EXPECT_EQ(Form1->foldertoburn.Text(), chosen.string());
    EXPECT_EQ(CurrentDir(), before);

    // The next time it opens in the folder part of that path.
    AnswerDialogs({[&](GtkDialog* d) {
        startedIn = CurrentFolderOf(d);
        PressCancel()(d);
    }});
    Click(Form1->Button1);
    EXPECT_EQ(startedIn, scratch_.string());
    EXPECT_EQ(Form1->foldertoburn.Text(), chosen.string()) << "Cancel keeps the field";
    EXPECT_EQ(CurrentDir(), before);
}

TEST_F(Boxes, SaveDialogAppendsIsoOnlyToANewPathWithoutExtension)
{
    fs::create_directory(scratch_ / "a.b");
    std::ofstream(scratch_ / "existing") << "x";
    const struct {
        const char* folder;
        const char* name;
        const char* expected;
    } cases[] = {
        {"", "backup", "backup.iso"},
        {"a.b", "c", "a.b/c.iso"},
        {"", "c.img", "c.img"},
        {"", "disc.iso", "disc.iso"},
        {"", "existing", "existing"},
    };
    const std::string before = CurrentDir();
    for (const auto& c : cases) {
        AnswerDialogs({ChooseFile(*c.folder ? scratch_ / c.folder : scratch_, c.name)});
        ASSERT_TRUE(Form1->SaveDialog1.Execute()) << c.name;
        EXPECT_EQ(Form1->SaveDialog1.FileName, (scratch_ / c.expected).string());
        EXPECT_EQ(Form1->SaveDialog1.InitialDir, os::ExtractFilePath((scratch_ / c.expected).string()));
        EXPECT_EQ(CurrentDir(), before);
    }
}

TEST_F(Boxes, CancelledDialogKeepsItsFileNameAndShowsTheIsoFilter)
{
    std::ofstream(scratch_ / "kept.iso") << "image";
    AnswerDialogs({ChooseFile(scratch_, "kept.iso")});
    ASSERT_TRUE(Form1->OpenDialog1.Execute());
    const std::string kept = Form1->OpenDialog1.FileName;
    EXPECT_EQ(kept, (scratch_ / "kept.iso").string());

    std::string title, filter;
    AnswerDialogs({[&](GtkDialog* d) {
        title = MessageOf(d);
        if (GtkFileFilter* f = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(d)))
            filter = gtk_file_filter_get_name(f);
        PressCancel()(d);
    }});
    EXPECT_FALSE(Form1->OpenDialog1.Execute());
    EXPECT_EQ(Form1->OpenDialog1.FileName, kept);
    EXPECT_EQ(title, "Openan ISO to burn");
    EXPECT_EQ(filter, "ISO file");
}

TEST_F(Boxes, FailedHandlerShowsTheErrorBoxAndOkKeepsTheProgramGoing)
{
    // temp.cfg pointing nowhere: the shell cannot create it, and reading it fails.
    const fs::path tempCfg = ProgramDir() / "temp.cfg";
    fs::create_symlink("/nonexistent/temp.cfg", tempCfg);
    Form1->ComboBox3.SetText("DVD");
    std::string message, caption;
    bool hasCancel = false;
    AnswerDialogs({[&](GtkDialog* d) {
        message = MessageOf(d);
        caption = gtk_window_get_title(GTK_WINDOW(d));
        hasCancel = gtk_dialog_get_widget_for_response(d, GTK_RESPONSE_CANCEL) != nullptr;
        PressOk()(d);
    }});
    recorder_.Clear();
    Click(Form1->Button3);
    fs::remove(tempCfg);

    EXPECT_EQ(message, "File not found.");
    EXPECT_EQ(caption, "window_tests");
    EXPECT_TRUE(hasCancel);
    EXPECT_EQ(Form1->title.Text(), "no_name") << "what the handler did before the failure stays";
    for (const ToolCall& call : recorder_.Calls())
        EXPECT_NE(call.tool, "xterm") << "no terminal after the failure";

    // The window still works.
    AnswerDialogs({PressOk()});
    Click(Form1->Button4);
    EXPECT_EQ(DialogsAnswered(), 1);
}

TEST_F(Boxes, CancelInTheErrorBoxEndsTheProgramWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path tempCfg = ProgramDir() / "temp.cfg";
    EXPECT_EXIT(
        {
            fs::create_symlink("/nonexistent/temp.cfg", tempCfg);
            Form1->ComboBox3.SetText("DVD");
            AnswerDialogs({PressCancel()});
            Click(Form1->Button3);
            fs::remove(tempCfg);
            std::_Exit(3);
        },
        testing::ExitedWithCode(0), "");
    fs::remove(tempCfg);
}

} // namespace
