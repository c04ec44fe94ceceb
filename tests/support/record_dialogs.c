/* Preloaded into the program under test: every dialog the program runs is
 * logged to $TARVELIN_DIALOG_LOG once it is on the screen, as three fields
 * each closed by a NUL byte: its kind ("box", or "file" for a file chooser),
 * its title, and for a box the text it shows. Entries are numbered from 0 in
 * the order they are logged.
 *
 * When $TARVELIN_DIALOG_ANSWERS names a folder, file chooser number N is
 * answered from the file N in it, as soon as that file appears: "choose", a
 * NUL byte and the path to confirm; anything else, such as "cancel", cancels.
 * The real dialog takes the path and the program handles the result as it
 * would a user's.
 *
 * The toolkit's functions are bound lazily, from the program's own GTK, when
 * first called: the shells and tools that inherit the preload never call
 * them, so they never load GTK. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <gtk/gtk.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "find_widget.h"

typedef gint (*dialog_run_fn)(GtkDialog*);

static int logged = 0;

/* The texts of the labels the box shows, except those on its buttons. */
static void collect_text(GtkWidget* widget, gpointer text)
{
    if (GTK_IS_BUTTON(widget) || !gtk_widget_get_mapped(widget))
        return;
    if (GTK_IS_LABEL(widget)) {
        GString* all = text;
        if (all->len)
            g_string_append_c(all, '\n');
        g_string_append(all, gtk_label_get_text(GTK_LABEL(widget)));
    } else if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(GTK_CONTAINER(widget), collect_text, text);
    }
}

static void append_field(GString* entry, const char* field)
{
    g_string_append(entry, field ? field : "");
    g_string_append_c(entry, '\0');
}

static void log_dialog(GtkDialog* dialog)
{
    const gboolean file = GTK_IS_FILE_CHOOSER(dialog);
    GString* text = g_string_new(NULL);
    if (!file)
        gtk_container_forall(GTK_CONTAINER(gtk_dialog_get_content_area(dialog)), collect_text, text);
    GString* entry = g_string_new(NULL);
    append_field(entry, file ? "file" : "box");
    append_field(entry, gtk_window_get_title(GTK_WINDOW(dialog)));
    append_field(entry, text->str);
    int fd = open(getenv("TARVELIN_DIALOG_LOG"), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
        ssize_t ignored = write(fd, entry->str, entry->len);
        (void)ignored;
        close(fd);
    }
    g_string_free(entry, TRUE);
    g_string_free(text, TRUE);
}

/* One file chooser waiting for its answer. */
struct pending {
    GtkDialog* dialog;
    char* answer_file;
    char* path;   /* once the answer is read: the path to confirm */
};

static void press(GtkDialog* dialog, gint response)
{
    GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
    if (button)
        gtk_button_clicked(GTK_BUTTON(button));
    else
        gtk_dialog_response(dialog, response);
}

static gboolean same_path(char* chosen, const char* path)
{
    const gboolean same = chosen && strcmp(chosen, path) == 0;
    g_free(chosen);
    return same;
}

/* Puts the path into the chooser the way its action expects it. */
static void enter_path(GtkFileChooser* chooser, const char* path)
{
    if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE) {
        char* folder = g_path_get_dirname(path);
        char* name = g_path_get_basename(path);
        gtk_file_chooser_set_current_folder(chooser, folder);
        gtk_file_chooser_set_current_name(chooser, name);
        g_free(name);
        g_free(folder);
    } else if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER) {
        gtk_file_chooser_set_current_folder(chooser, path);
    } else {
        gtk_file_chooser_set_filename(chooser, path);
    }
}

/* The chooser loads folders in the background and ignores a confirmation
 * until its file list shows one: the path counts once the list has a folder
 * and the chooser gives the path back, and for a new name once it shows the
 * name's folder. */
static gboolean path_taken(GtkFileChooser* chooser, const char* path)
{
    GtkWidget* files = find_widget(GTK_WIDGET(chooser), GTK_TYPE_TREE_VIEW);
    if (!files || !gtk_tree_view_get_model(GTK_TREE_VIEW(files)))
        return FALSE;
    if (!same_path(gtk_file_chooser_get_filename(chooser), path))
        return FALSE;
    if (gtk_file_chooser_get_action(chooser) != GTK_FILE_CHOOSER_ACTION_SAVE)
        return TRUE;
    char* folder = g_path_get_dirname(path);
    const gboolean shown = same_path(gtk_file_chooser_get_current_folder(chooser), folder);
    g_free(folder);
    return shown;
}

static void forget(struct pending* p)
{
    g_object_unref(p->dialog);
    g_free(p->answer_file);
    g_free(p->path);
    g_free(p);
}

/* Looks for the answer while the dialog is up, then waits for the chooser to
 * have taken the path before confirming it. */
static gboolean answer_when_ready(gpointer data)
{
    struct pending* p = data;
    GtkDialog* dialog = p->dialog;
    if (!gtk_widget_get_mapped(GTK_WIDGET(dialog))) {
        forget(p);
        return G_SOURCE_REMOVE;
    }
    if (!p->path) {
        gchar* answer = NULL;
        gsize length = 0;
        if (!g_file_get_contents(p->answer_file, &answer, &length, NULL))
            return G_SOURCE_CONTINUE;
        const gboolean choose = strcmp(answer, "choose") == 0 && strlen(answer) < length;
        if (choose)
            p->path = g_strdup(answer + strlen(answer) + 1);
        g_free(answer);
        if (!choose) {
            press(dialog, GTK_RESPONSE_CANCEL);
            forget(p);
            return G_SOURCE_REMOVE;
        }
        enter_path(GTK_FILE_CHOOSER(dialog), p->path);
    }
    if (!path_taken(GTK_FILE_CHOOSER(dialog), p->path))
        return G_SOURCE_CONTINUE;
    press(dialog, GTK_RESPONSE_ACCEPT);
    forget(p);
    return G_SOURCE_REMOVE;
}

static void dialog_on_screen(GtkDialog* dialog)
{
    const int number = logged++;
    log_dialog(dialog);
    const char* answers = getenv("TARVELIN_DIALOG_ANSWERS");
    if (!answers || !GTK_IS_FILE_CHOOSER(dialog))
        return;
    struct pending* p = g_new0(struct pending, 1);
    p->dialog = g_object_ref(dialog);
    p->answer_file = g_strdup_printf("%s/%d", answers, number);
    g_timeout_add(20, answer_when_ready, p);
}

static gboolean on_map_event(GtkWidget* widget, GdkEvent* event, gpointer data)
{
    (void)event;
    (void)data;
    g_signal_handlers_disconnect_by_func(widget, on_map_event, NULL);
    dialog_on_screen(GTK_DIALOG(widget));
    return GDK_EVENT_PROPAGATE;
}

gint gtk_dialog_run(GtkDialog* dialog)
{
    if (getenv("TARVELIN_DIALOG_LOG")) {
        if (gtk_widget_get_mapped(GTK_WIDGET(dialog)))
            dialog_on_screen(dialog);
        else
            g_signal_connect(dialog, "map-event", G_CALLBACK(on_map_event), NULL);
    }
    dialog_run_fn real = (dialog_run_fn)dlsym(RTLD_NEXT, "gtk_dialog_run");
    return real(dialog);
}
