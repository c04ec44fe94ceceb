/* Preloaded into the program under test: every dialog the program runs is
 * logged to $TARVELIN_DIALOG_LOG once it is on the screen, as three fields
 * each closed by a NUL byte: its kind ("box", or "file" for a file chooser),
 * its title, and for a box the text it shows. Entries are numbered from 0 in
 * the order they are logged.
 *
 * When $TARVELIN_DIALOG_ANSWERS names a folder, file chooser number N is
 * answered from the file N in it, as soon as that file appears: "choose", a
 * NUL byte and the path to confirm; anything else, such as "cancel", cancels.
 * The real dialog takes the path, its own buttons are pressed, and the
 * program handles the result as it would a user's.
 *
 * The toolkit's functions are bound lazily, from the program's own GTK, when
 * first called: the shells and tools that inherit the preload never call
 * them, so they never load GTK. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "find_widget.h"
#include "choose_in_dialog.h"

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

static void complain(const char* message)
{
    fprintf(stderr, "record_dialogs: %s; cancelled\n", message);
}

/* One file chooser waiting for its answer. */
struct pending {
    GtkDialog* dialog;
    char* answer_file;
    gint64 give_up_at;
};

static void forget(struct pending* p)
{
    g_object_unref(p->dialog);
    g_free(p->answer_file);
    g_free(p);
}

/* Once the answer is there, the chooser takes it the way a user gives it. */
static void take_answer(GtkDialog* dialog, const gchar* answer, gsize length)
{
    if (strcmp(answer, "choose") != 0 || strlen(answer) >= length) {
        press_button(dialog, GTK_RESPONSE_CANCEL);
        return;
    }
    const char* path = answer + strlen(answer) + 1;
    const gboolean folder = gtk_file_chooser_get_action(GTK_FILE_CHOOSER(dialog)) ==
                            GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
    char* parent = folder ? g_strdup(path) : g_path_get_dirname(path);
    char* name = folder ? NULL : g_path_get_basename(path);
    choose_in_dialog(dialog, parent, name, complain);
    g_free(name);
    g_free(parent);
}

static gboolean wait_for_answer(gpointer data)
{
    struct pending* p = data;
    gchar* answer = NULL;
    gsize length = 0;
    if (!gtk_widget_get_mapped(GTK_WIDGET(p->dialog))) {
        forget(p);
        return G_SOURCE_REMOVE;
    }
    if (g_file_get_contents(p->answer_file, &answer, &length, NULL)) {
        take_answer(p->dialog, answer, length);
        g_free(answer);
    } else if (g_get_monotonic_time() > p->give_up_at) {
        complain("no answer came for a file dialog");
        press_button(p->dialog, GTK_RESPONSE_CANCEL);
    } else {
        return G_SOURCE_CONTINUE;
    }
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
    p->give_up_at = g_get_monotonic_time() + (gint64)ANSWER_LIMIT_MS * 1000;
    g_timeout_add(20, wait_for_answer, p);
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
