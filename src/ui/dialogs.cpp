#include "ui/dialogs.h"

#include <gtk/gtk.h>

#include "os/files.h"
#include "ui/errors.h"

namespace ui {

namespace {

const DialogLayout& Checked(const DialogLayout& layout, DialogKind kind)
{
    if (layout.kind != kind)
        throw EComponentError(std::string(layout.name) + " is a dialog of another kind");
    return layout;
}

GtkFileChooserAction ActionOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::SelectDirectory: return GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
    case DialogKind::Save: return GTK_FILE_CHOOSER_ACTION_SAVE;
    case DialogKind::Open: break;
    }
    return GTK_FILE_CHOOSER_ACTION_OPEN;
}

const char* AcceptLabel(DialogKind kind)
{
    switch (kind) {
    case DialogKind::SelectDirectory: return "_Select";
    case DialogKind::Save: return "_Save";
    case DialogKind::Open: break;
    }
    return "_Open";
}

// "ISO file|*.iso": the description the user reads, then the pattern.
void AddFilter(GtkFileChooser* chooser, std::string_view filter)
{
    const auto bar = filter.find('|');
    if (filter.empty() || bar == std::string_view::npos)
        return;
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, std::string(filter.substr(0, bar)).c_str());
    gtk_file_filter_add_pattern(f, std::string(filter.substr(bar + 1)).c_str());
    gtk_file_chooser_add_filter(chooser, f);
}

// True when, looking back from the end, a "." comes before any separator.
bool HasExtension(std::string_view path)
{
    const auto at = path.find_last_of("./\\:");
    return at != std::string_view::npos && path[at] == '.';
}

} // namespace

TFileDialog::TFileDialog(TForm& owner, std::string_view name, DialogKind kind)
    : TFileDialog(owner, Checked(DialogOf(owner.Layout(), name), kind))
{
}

TFileDialog::TFileDialog(TForm& owner, const DialogLayout& layout)
    : InitialDir(layout.initialDir),
      Title(layout.title),
      DefaultExt(layout.defaultExt),
      Filter(layout.filter),
      owner_(owner),
      kind_(layout.kind)
{
}

bool TFileDialog::Execute()
{
    gchar* cwd = g_get_current_dir();
    struct RestoreDir {
        gchar* dir;
        ~RestoreDir()
        {
            os::SetCurrentDir(dir);
            g_free(dir);
        }
    } restore{cwd};

    if (!InitialDir.empty())
        os::SetCurrentDir(InitialDir);
    const bool confirmed = Run();
    const std::string folder = os::ExtractFilePath(FileName);
    if (!folder.empty())
        InitialDir = folder;
    if (confirmed)
        ApplyDefaultExt();
    return confirmed;
}

bool TFileDialog::Run()
{
    GtkWidget* dialog = gtk_file_chooser_dialog_new(Title.c_str(), GTK_WINDOW(owner_.Window()), ActionOf(kind_),
                                                    "_Cancel", GTK_RESPONSE_CANCEL, AcceptLabel(kind_),
                                                    GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    AddFilter(chooser, Filter);
    if (!FileName.empty()) {
        gtk_file_chooser_set_filename(chooser, FileName.c_str());
    } else {
        gchar* here = g_get_current_dir();
        gtk_file_chooser_set_current_folder(chooser, here);
        g_free(here);
    }

    const bool confirmed = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT;
    if (confirmed) {
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        FileName = chosen ? chosen : "";
        g_free(chosen);
    }
    gtk_widget_destroy(dialog);
    return confirmed;
}

void TFileDialog::ApplyDefaultExt()
{
    if (!DefaultExt.empty() && !HasExtension(FileName) && !os::FileExists(FileName))
        FileName += DefaultExt;
}

} // namespace ui
