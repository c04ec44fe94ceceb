#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "os/files.h"
#include "ui/application.h"
#include "../support/choose_in_dialog.h"

bool WaitUntil(const std::function<bool()>& done, int milliseconds)
{
    // The main loop sleeps until something happens. A short tick wakes it as
    // well, for what no event announces, such as a file a child has written.
    bool late = false;
    const guint deadline = g_timeout_add(
        milliseconds,
        [](gpointer late) -> gboolean {
            *static_cast<bool*>(late) = true;
            return G_SOURCE_REMOVE;
        },
        &late);
    const guint tick = g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool met = done();
    while (!met && !late) {
        g_main_context_iteration(nullptr, TRUE);
        met = done();
    }
    if (!late)
        g_source_remove(deadline);
    g_source_remove(tick);
    return met;
}

namespace {

std::vector<Answer> pending;
int answeredCount = 0;
guint poller = 0;

bool Answered(GtkWidget* dialog)
{
    return g_object_get_data(G_OBJECT(dialog), "answered") != nullptr;
}

void MarkAnswered(GtkDialog* dialog)
{
    g_object_set_data(G_OBJECT(dialog), "answered", dialog);
}

// The dialog on the screen that nothing has answered yet, if there is one.
GtkDialog* NewDialog()
{
    GList* windows = gtk_window_list_toplevels();
    GtkDialog* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next)
        if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data)) && !Answered(GTK_WIDGET(w->data)))
            found = GTK_DIALOG(w->data);
    g_list_free(windows);
    return found;
}

// How long the dialog has waited for an answer, in milliseconds.
gint64 WaitedFor(GtkDialog* dialog)
{
    auto* since = static_cast<gint64*>(g_object_get_data(G_OBJECT(dialog), "waiting since"));
    if (!since) {
        since = g_new(gint64, 1);
        *since = g_get_monotonic_time();
        g_object_set_data_full(G_OBJECT(dialog), "waiting since", since, g_free);
    }
    return (g_get_monotonic_time() - *since) / 1000;
}

gboolean Poll(gpointer)
{
    GtkDialog* dialog = NewDialog();
    if (!dialog)
        return G_SOURCE_CONTINUE;
    if (!pending.empty()) {
        MarkAnswered(dialog);
        Answer answer = std::move(pending.front());
        pending.erase(pending.begin());
        ++answeredCount;
        answer(dialog);
    } else if (WaitedFor(dialog) > ANSWER_LIMIT_MS) {
        MarkAnswered(dialog);
        ADD_FAILURE() << "nothing answered the dialog \"" << MessageOf(dialog) << "\"; closed";
        Dismiss(dialog);
    }
    return G_SOURCE_CONTINUE;
}

// A user presses a button: the dialog gets the button's response.
void Press(GtkDialog* dialog, GtkResponseType response)
{
    if (!press_button(dialog, response))
        ADD_FAILURE() << "the dialog \"" << MessageOf(dialog) << "\" has no such button";
}

void ComplainInTest(const char* message)
{
    ADD_FAILURE() << message;
}

std::string Slurp(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> SplitNul(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    return parts;
}

} // namespace

void AnswerDialogs(std::vector<Answer> answers)
{
    pending = std::move(answers);
    answeredCount = 0;
    if (!poller)
        poller = g_timeout_add(20, Poll, nullptr);
}

int DialogsAnswered()
{
    return answeredCount;
}

Answer PressOk()
{
    return [](GtkDialog* d) { Press(d, GTK_RESPONSE_OK); };
}

Answer PressCancel()
{
    return [](GtkDialog* d) { Press(d, GTK_RESPONSE_CANCEL); };
}

void Dismiss(GtkDialog* dialog)
{
    Press(dialog, GTK_IS_FILE_CHOOSER(dialog) ? GTK_RESPONSE_CANCEL : GTK_RESPONSE_OK);
}

std::string CurrentFolderOf(GtkDialog* dialog)
{
    // The chooser loads folders in the background: give it the time to.
    std::string folder;
    WaitUntil([&] {
        gchar* current = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(dialog));
        folder = current ? current : "";
        g_free(current);
        return !folder.empty();
    });
    return folder;
}

Answer ChooseFolder(const std::string& folder)
{
    return [folder](GtkDialog* d) { choose_in_dialog(d, folder.c_str(), nullptr, ComplainInTest); };
}

Answer ChooseFile(const std::string& folder, const std::string& name)
{
    return [folder, name](GtkDialog* d) {
        choose_in_dialog(d, folder.c_str(), name.c_str(), ComplainInTest);
    };
}

Answer OnceTaken(Answer answer, std::function<void()> then)
{
    return [answer, then](GtkDialog* d) {
        g_signal_connect_data(
            d, "response",
            G_CALLBACK(+[](GtkDialog*, gint, gpointer then) { (*static_cast<std::function<void()>*>(then))(); }),
            new std::function<void()>(then),
            [](gpointer then, GClosure*) { delete static_cast<std::function<void()>*>(then); }, G_CONNECT_AFTER);
        answer(d);
    };
}

std::string MessageOf(GtkDialog* dialog)
{
    if (GTK_IS_FILE_CHOOSER(dialog))
        return gtk_window_get_title(GTK_WINDOW(dialog));
    GtkWidget* label = find_widget(gtk_dialog_get_content_area(dialog), GTK_TYPE_LABEL);
    return label ? gtk_label_get_text(GTK_LABEL(label)) : "";
}

Recorder::Recorder()
{
    std::string pattern = (fs::temp_directory_path() / "recorder-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    setenv("TARVELIN_SHELL_LOG", (dir_ / "shell.log").c_str(), 1);
    setenv("STANDIN_LOG_DIR", (dir_ / "calls").c_str(), 1);
    static const std::string path = std::string(STAND_INS_DIR) + ":" + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    for (const char* variable : {"STANDIN_SCANBUS", "STANDIN_PRCAP", "STANDIN_PRINT_SIZE"})
        unsetenv(variable);
}

Recorder::~Recorder()
{
    unsetenv("TARVELIN_SHELL_LOG");
    fs::remove_all(dir_);
}

std::vector<std::string> Recorder::ShellLines() const
{
    return SplitNul(Slurp(dir_ / "shell.log"));
}

std::vector<ToolCall> Recorder::Calls() const
{
    std::vector<fs::path> files;
    if (fs::exists(dir_ / "calls"))
        for (const auto& entry : fs::directory_iterator(dir_ / "calls"))
            if (entry.path().extension() != ".stdin")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<ToolCall> calls;
    for (const fs::path& file : files) {
        // Named <time>-<pid>-<tool>; the tool's own name may hold a "-" (dvd+rw-format).
        const std::string name = file.filename();
        const std::size_t afterPid = name.find('-', name.find('-') + 1) + 1;
        ToolCall call{name.substr(afterPid), SplitNul(Slurp(file)), Slurp(file.string() + ".stdin")};
        calls.push_back(call);
    }
    return calls;
}

void Recorder::Clear() const
{
    fs::remove(dir_ / "shell.log");
    fs::remove_all(dir_ / "calls");
}

void Recorder::Answer(const std::string& variable, const std::string& output) const
{
    const fs::path file = dir_ / variable;
    std::ofstream(file, std::ios::binary) << output;
    setenv(variable.c_str(), file.c_str(), 1);
}

std::vector<std::vector<std::string>> ArgsOf(const std::vector<ToolCall>& calls, const std::string& tool)
{
    std::vector<std::vector<std::string>> args;
    for (const ToolCall& call : calls)
        if (call.tool == tool)
            args.push_back(call.args);
    return args;
}

testing::AssertionResult SameLines(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i)
        if (expected[i] != actual[i])
            return testing::AssertionFailure() << "shell line " << i << Describe(expected[i], actual[i]);
    if (expected.size() == actual.size())
        return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << expected.size() << " shell lines expected, " << actual.size() << " run:";
    for (const std::string& line : actual)
        failure << "\n  [" << line << "]";
    return failure;
}

fs::path ProgramDir()
{
    return fs::path(os::ExtractFilePath(os::ExecutablePath()));
}

std::vector<std::string> ScratchFilesLeft()
{
    std::vector<std::string> left;
    for (const char* scratch : {"device.cfg", "temp.cfg"})
        if (fs::exists(fs::symlink_status(ProgramDir() / scratch)))
            left.push_back(scratch);
    return left;
}

TForm1& StartForm()
{
    AnswerDialogs({});
    ui::Application.CreateForm(Form1);
    // Shown once the X server has told the window it is on the screen.
    bool onScreen = false;
    const gulong watch = g_signal_connect(Form1->Window(), "map-event",
                                          G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer seen) -> gboolean {
                                              *static_cast<bool*>(seen) = true;
                                              return GDK_EVENT_PROPAGATE;
                                          }),
                                          &onScreen);
    Form1->Show();
    WaitUntil([&] { return onScreen; });
    g_signal_handler_disconnect(Form1->Window(), watch);
    return *Form1;
}

void StartedWindow::SetUp()
{
    recorder_.Answer("STANDIN_PRCAP", "");
    StartForm();
    fs::create_directories(scratch_);
}

void StartedWindow::TearDown()
{
    AnswerDialogs({});
}

void Click(ui::TButton& button)
{
    gtk_button_clicked(GTK_BUTTON(button.Widget()));
}

std::string Describe(const std::string& expected, const std::string& actual)
{
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    std::ostringstream out;
    out << "\n  expected (" << expected.size() << " bytes): [" << expected << "]"
        << "\n  actual   (" << actual.size() << " bytes): [" << actual << "]"
        << "\n  first difference at byte " << at;
    return out.str();
}
