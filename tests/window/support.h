#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "unit1.h"
#include "../support/find_widget.h"

namespace fs = std::filesystem;

// Lets the toolkit work until done() holds or the time runs out. The limit
// is only for what never comes: on a busy machine a folder can take seconds.
bool WaitUntil(const std::function<bool()>& done, int milliseconds = 30000);

// Modal boxes and dialogs block the handler that opened them; each is
// answered from the main loop once it shows. Answers are taken in order.
using Answer = std::function<void(GtkDialog*)>;
void AnswerDialogs(std::vector<Answer> answers);
int DialogsAnswered();
// Answers press the dialog's own buttons, as a user does.
Answer PressOk();
Answer PressCancel();
// Closes whatever came: a file dialog is cancelled, a box is confirmed.
void Dismiss(GtkDialog* dialog);
// A path confirmed in a file dialog, held until the dialog takes it.
Answer ChooseFolder(const std::string& folder);
Answer ChooseFile(const std::string& folder, const std::string& name);
// Runs then once the dialog has taken the answer, before the handler that
// opened it goes on.
Answer OnceTaken(Answer answer, std::function<void()> then);
// The folder a file dialog shows, once it has loaded one.
std::string CurrentFolderOf(GtkDialog* dialog);
// A text box's message, or a file dialog's title, for assertions inside answers.
std::string MessageOf(GtkDialog* dialog);

// One call of a stand-in tool: its name and arguments.
struct ToolCall {
    std::string tool;
    std::vector<std::string> args;
    std::string track;     // what it was piped, when its last argument is "-"
};

// The stand-in tools and the record of every line handed to /bin/sh -c.
class Recorder {
public:
    Recorder();
    ~Recorder();
    std::vector<std::string> ShellLines() const;
    std::vector<ToolCall> Calls() const;
    void Clear() const;
    fs::path Dir() const { return dir_; }
    void Answer(const std::string& variable, const std::string& output) const;

private:
    fs::path dir_;
};

// The arguments of each call of one tool, in the order of the calls. Tools in
// one pipeline start together, so only calls of the same tool keep an order.
std::vector<std::vector<std::string>> ArgsOf(const std::vector<ToolCall>& calls, const std::string& tool);

// Lines handed to /bin/sh -c, compared one by one; a mismatch shows the
// first differing line with its first differing byte, or every line run.
testing::AssertionResult SameLines(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// The folder the program works in: the one holding the test program.
fs::path ProgramDir();
// The scratch files still in it; each should live only inside one query.
std::vector<std::string> ScratchFilesLeft();

// Builds the main window the way the program does and shows it.
TForm1& StartForm();

// The main window started, its drive answering no capability query, with a
// folder for the test's own files that goes with the test.
class StartedWindow : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Recorder recorder_;
    const fs::path scratch_ = recorder_.Dir() / "files";
};

void Click(ui::TButton& button);

std::string Describe(const std::string& expected, const std::string& actual);
#define EXPECT_SAME_TEXT(expected, actual) \
    EXPECT_TRUE((expected) == (actual)) << Describe((expected), (actual))
