#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "os/files.h"
#include "ui/application.h"

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

GtkDialog* NewDialog()
{
    GList* windows = gtk_window_list_toplevels();
    GtkDialog* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next)
        if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data)) &&
            !g_object_get_data(G_OBJECT(w->data), "answered"))
            found = GTK_DIALOG(w->data);
    g_list_free(windows);
    return found;
}

gboolean Poll(gpointer)
{
    if (pending.empty()) {
        poller = 0;
        return G_SOURCE_REMOVE;
    }
    if (GtkDialog* dialog = NewDialog()) {
        g_object_set_data(G_OBJECT(dialog), "answered", dialog);
        Answer answer = std::move(pending.front());
        pending.erase(pending.begin());
        ++answeredCount;
        answer(dialog);
    }
    return G_SOURCE_CONTINUE;
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
    return [](GtkDialog* d) { gtk_dialog_response(d, GTK_RESPONSE_OK); };
}

Answer PressCancel()
{
    return [](GtkDialog* d) { gtk_dialog_response(d, GTK_RESPONSE_CANCEL); };
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

namespace {
void EnterFolder(GtkFileChooser* chooser, const std::string& folder)
{
    gtk_file_chooser_set_current_folder(chooser, folder.c_str());
    const bool entered = WaitUntil([&] { return CurrentFolderOf(GTK_DIALOG(chooser)) == folder; });
    EXPECT_TRUE(entered) << "the dialog never showed " << folder;
}
} // namespace

Answer ChooseFolder(const std::string& folder)
{
    return [folder](GtkDialog* d) {
        EnterFolder(GTK_FILE_CHOOSER(d), folder);
        gtk_dialog_response(d, GTK_RESPONSE_ACCEPT);
    };
}

Answer ChooseFile(const std::string& folder, const std::string& name)
{
    return [folder, name](GtkDialog* d) {
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(d);
        const std::string path = (fs::path(folder) / name).string();
        if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE) {
            EnterFolder(chooser, folder);
            gtk_file_chooser_set_current_name(chooser, name.c_str());
        } else {
            gtk_file_chooser_set_filename(chooser, path.c_str());
        }
        // The chooser loads the folder in the background, and until its file
        // list shows it, a save dialog ignores the answer.
        const auto same = [](gchar* chosen, const std::string& expected) {
            const bool equal = chosen && expected == chosen;
            g_free(chosen);
            return equal;
        };
        GtkWidget* files = find_widget(GTK_WIDGET(d), GTK_TYPE_TREE_VIEW);
        const bool selected = WaitUntil([&] {
            return same(gtk_file_chooser_get_filename(chooser), path) &&
                   gtk_tree_view_get_model(GTK_TREE_VIEW(files)) &&
                   (gtk_file_chooser_get_action(chooser) != GTK_FILE_CHOOSER_ACTION_SAVE ||
                    same(gtk_file_chooser_get_current_folder(chooser), folder));
        });
        EXPECT_TRUE(selected) << "the dialog never selected " << path;
        gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(d, GTK_RESPONSE_ACCEPT)));
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
    char pattern[] = "/tmp/tarvelin-window-XXXXXX";
    dir_ = mkdtemp(pattern);
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
