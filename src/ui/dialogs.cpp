#include "ui/dialogs.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>

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

// GTK checks a choice confirmed with ACCEPT, and for a folder typed by name
// that check makes the folder. The folder chooser confirms with a response of
// its own instead, so that a typed name comes back as typed and nothing is
// made: the program demands nothing of the folder.
constexpr int kFolderChosen = 1;

int AcceptResponse(DialogKind kind)
{
    return kind == DialogKind::SelectDirectory ? kFolderChosen : GTK_RESPONSE_ACCEPT;
}

// GTK matches its own patterns against the name it shows, which for a name
// that is not UTF-8 is no longer the file's name: the pattern is matched
// against the file's own name instead, byte for byte.
gboolean NameMatches(const GtkFileFilterInfo* file, gpointer pattern)
{
    if (!file->filename)
        return FALSE;
    const char* slash = std::strrchr(file->filename, '/');
    return g_pattern_match_simple(static_cast<const char*>(pattern), slash ? slash + 1 : file->filename);
}

// "ISO file|*.iso": the description the user reads, then the pattern.
void AddFilter(GtkFileChooser* chooser, std::string_view filter)
{
    const auto bar = filter.find('|');
    if (filter.empty() || bar == std::string_view::npos)
        return;
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, std::string(filter.substr(0, bar)).c_str());
    gtk_file_filter_add_custom(f, GTK_FILE_FILTER_FILENAME, NameMatches,
                               g_strdup(std::string(filter.substr(bar + 1)).c_str()), g_free);
    gtk_file_chooser_add_filter(chooser, f);
}

// The dialog opens on the last confirmed path. GTK selects a path only when
// something of that name exists, and an image path confirmed for saving may
// never have been written: the save dialog is given its folder and its name,
// split where the file system splits them, at the last "/".
void StartOn(GtkFileChooser* chooser, DialogKind kind, const std::string& path)
{
    if (kind != DialogKind::Save) {
        gtk_file_chooser_set_filename(chooser, path.c_str());
        return;
    }
    const std::size_t slash = path.rfind('/');
    gchar* folder = slash == std::string::npos ? g_get_current_dir()
                                               : g_strndup(path.c_str(), std::max<std::size_t>(slash, 1));
    gtk_file_chooser_set_current_folder(chooser, folder);
    g_free(folder);
    gtk_file_chooser_set_current_name(chooser, path.c_str() + (slash == std::string::npos ? 0 : slash + 1));
}

// GTK sizes the chooser after the font and the size it remembers, which can
// be more than a small screen holds: keep it within the work area of the
// main window's monitor, frame included, so its name row and buttons stay
// in reach.
void FitToWorkArea(GtkWindow* dialog, GtkWidget* parent)
{
    GdkWindow* parentWindow = gtk_widget_get_window(parent);
    GdkDisplay* display = gtk_widget_get_display(parent);
    GdkMonitor* monitor = parentWindow ? gdk_display_get_monitor_at_window(display, parentWindow)
                                       : gdk_display_get_primary_monitor(display);
    if (!monitor)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return;
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    // The dialog's frame will be as wide as the main window's.
    GdkRectangle frame{0, 0, 0, 0};
    int width = 0, height = 0;
    if (parentWindow) {
        gdk_window_get_frame_extents(parentWindow, &frame);
        width = gdk_window_get_width(parentWindow);
        height = gdk_window_get_height(parentWindow);
    }
    GdkGeometry limit{};
    limit.max_width = area.width - std::max(frame.width - width, 0);
    limit.max_height = area.height - std::max(frame.height - height, 0);
    gtk_window_set_geometry_hints(dialog, nullptr, &limit, GDK_HINT_MAX_SIZE);
}

} // namespace

TFileDialog::TFileDialog(TForm& owner, std::string_view name, DialogKind kind)
    : TFileDialog(owner, Checked(owner.LayoutOfDialog(name), kind))
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
                                                    AcceptResponse(kind_), nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), AcceptResponse(kind_));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    // Nor does it offer to make one.
    if (kind_ == DialogKind::SelectDirectory)
        gtk_file_chooser_set_create_folders(chooser, FALSE);
    AddFilter(chooser, Filter);
    FitToWorkArea(GTK_WINDOW(dialog), owner_.Window());
    if (!FileName.empty()) {
        StartOn(chooser, kind_, FileName);
    } else {
        gchar* here = g_get_current_dir();
        gtk_file_chooser_set_current_folder(chooser, here);
        g_free(here);
    }

    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    const bool confirmed = response == AcceptResponse(kind_);
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
    if (!DefaultExt.empty() && os::ExtractFileExt(FileName).empty() && !os::FileExists(FileName))
        FileName += DefaultExt;
}

} // namespace ui
