/* Confirms a path in a file chooser the way a user does: the path goes in as
 * if typed (a folder, or a folder and a name), and once the chooser shows
 * it, its own confirming button is pressed. Shared by the dialog record and
 * the window tests.
 *
 * The chooser loads folders in the background and may put something of its
 * own in place of the answer while it does: its earlier name, or, sent back
 * up to a folder's parent, the folder it came from. The answer is held until
 * the chooser has responded: whatever the chooser replaced is entered again,
 * and confirmed again once shown. An answer the chooser neither shows nor
 * takes for a while is typed, or pressed, once more, as a user would. Past
 * the time limit the chooser is cancelled and the complaint is called, so
 * that a dialog that ignores its answer fails the one test that opened it. */
#pragma once

#include <gtk/gtk.h>
#include <string.h>

#include "find_widget.h"

/* How long a dialog waits for its answer, and then holds it, before it is
 * closed and the test that opened it fails. */
#define ANSWER_LIMIT_MS 30000

/* How long the answer waits to be shown, or taken once confirmed, before it
 * is given again: far longer than a folder takes to load on a busy machine. */
#define ANSWER_AGAIN_MS 5000

typedef void (*chooser_complaint)(const char* message);

struct chooser_answer {
    GtkDialog* dialog;
    char* folder;
    char* name;          /* the name to save or open in the folder; NULL for a folder chooser */
    char* path;          /* what the chooser must give back */
    gint64 give_up_at;
    gint64 entered_at;
    gint64 pressed_at;
    gboolean shown;      /* the chooser has shown the answer since it was last entered */
    gboolean pressed;    /* and its confirming button has been pressed since */
    gboolean responded;
    chooser_complaint complain;
};

static gboolean chooser_same_path(char* chosen, const char* path)
{
    const gboolean same = chosen && strcmp(chosen, path) == 0;
    g_free(chosen);
    return same;
}

static gboolean chooser_saves(struct chooser_answer* a)
{
    return gtk_file_chooser_get_action(GTK_FILE_CHOOSER(a->dialog)) == GTK_FILE_CHOOSER_ACTION_SAVE;
}

/* Puts the answer into the chooser the way its action expects it. */
static void chooser_enter(struct chooser_answer* a)
{
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(a->dialog);
    if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_OPEN) {
        gtk_file_chooser_set_filename(chooser, a->path);
    } else {
        gtk_file_chooser_set_current_folder(chooser, a->folder);
        if (a->name)
            gtk_file_chooser_set_current_name(chooser, a->name);
    }
    a->entered_at = g_get_monotonic_time();
    a->shown = FALSE;
    a->pressed = FALSE;
}

/* The name goes back at once; a folder only once the chooser has shown the
 * answer, since entering a folder again starts its loading over. */
static void chooser_enter_what_was_replaced(struct chooser_answer* a)
{
    if (a->shown) {
        chooser_enter(a);
        return;
    }
    if (!chooser_saves(a))
        return;
    char* name = gtk_file_chooser_get_current_name(GTK_FILE_CHOOSER(a->dialog));
    if (!name || strcmp(name, a->name) != 0)
        gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(a->dialog), a->name);
    g_free(name);
}

/* The chooser takes no confirmation until its file list shows a folder; a
 * save dialog must also show the folder its name goes into. */
static gboolean chooser_shows_answer(struct chooser_answer* a)
{
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(a->dialog);
    GtkWidget* files = find_widget(GTK_WIDGET(chooser), GTK_TYPE_TREE_VIEW);
    if (!files || !gtk_tree_view_get_model(GTK_TREE_VIEW(files)))
        return FALSE;
    if (!chooser_same_path(gtk_file_chooser_get_filename(chooser), a->path))
        return FALSE;
    return !chooser_saves(a) || chooser_same_path(gtk_file_chooser_get_current_folder(chooser), a->folder);
}

/* The entry that holds the name the answer typed. */
static gboolean chooser_holds_name(GtkWidget* widget, gconstpointer name)
{
    return GTK_IS_ENTRY(widget) && gtk_widget_get_mapped(widget) &&
           strcmp(gtk_entry_get_text(GTK_ENTRY(widget)), (const char*)name) == 0;
}

/* A user who typed the name confirms from the name field: with the file list
 * in focus instead, a save dialog would enter the folder selected there. */
static void chooser_confirm(struct chooser_answer* a)
{
    if (chooser_saves(a)) {
        GtkWidget* entry = find_widget_where(GTK_WIDGET(a->dialog), chooser_holds_name, a->name);
        if (entry)
            gtk_widget_grab_focus(entry);
    }
    GtkWidget* confirm = gtk_window_get_default_widget(GTK_WINDOW(a->dialog));
    if (confirm)
        gtk_button_clicked(GTK_BUTTON(confirm));
    a->pressed_at = g_get_monotonic_time();
    a->pressed = TRUE;
}

static gboolean chooser_waited_since(gint64 since)
{
    return g_get_monotonic_time() > since + (gint64)ANSWER_AGAIN_MS * 1000;
}

/* What the chooser shows instead of the answer, for the complaint. */
static char* chooser_state(struct chooser_answer* a)
{
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(a->dialog);
    char* folder = gtk_file_chooser_get_current_folder(chooser);
    char* chosen = gtk_file_chooser_get_filename(chooser);
    char* state = g_strdup_printf("it showed %s in the folder %s%s", chosen ? chosen : "nothing",
                                  folder ? folder : "(none)", a->pressed ? ", confirmed" : "");
    g_free(chosen);
    g_free(folder);
    return state;
}

/* Presses the dialog's button for that response, as a user does; FALSE when
 * it has none. */
static gboolean press_button(GtkDialog* dialog, gint response)
{
    GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
    if (button)
        gtk_button_clicked(GTK_BUTTON(button));
    return button != NULL;
}

static void chooser_responded(GtkDialog* dialog, gint response, gpointer data)
{
    (void)dialog;
    (void)response;
    ((struct chooser_answer*)data)->responded = TRUE;
}

static void chooser_forget(struct chooser_answer* a)
{
    g_signal_handlers_disconnect_by_func(a->dialog, (gpointer)chooser_responded, a);
    g_object_unref(a->dialog);
    g_free(a->folder);
    g_free(a->name);
    g_free(a->path);
    g_free(a);
}

static gboolean chooser_hold_answer(gpointer data)
{
    struct chooser_answer* a = (struct chooser_answer*)data;
    if (a->responded || !gtk_widget_get_mapped(GTK_WIDGET(a->dialog))) {
        chooser_forget(a);
        return G_SOURCE_REMOVE;
    }
    if (g_get_monotonic_time() > a->give_up_at) {
        char* state = chooser_state(a);
        char* complaint = g_strdup_printf("the file dialog never took %s: %s", a->path, state);
        a->complain(complaint);
        g_free(complaint);
        g_free(state);
        press_button(a->dialog, GTK_RESPONSE_CANCEL);
        chooser_forget(a);
        return G_SOURCE_REMOVE;
    }
    if (chooser_shows_answer(a)) {
        a->shown = TRUE;
        if (!a->pressed || chooser_waited_since(a->pressed_at))
            chooser_confirm(a);
    } else if (chooser_waited_since(a->entered_at)) {
        chooser_enter(a);
    } else {
        chooser_enter_what_was_replaced(a);
    }
    return G_SOURCE_CONTINUE;
}

/* Starts answering the chooser with folder, and for a save or open dialog the
 * name in it (NULL for a folder chooser); the answer goes on from the main
 * loop until the chooser responds or the limit has passed. */
static void choose_in_dialog(GtkDialog* dialog, const char* folder, const char* name, chooser_complaint complain)
{
    struct chooser_answer* a = g_new0(struct chooser_answer, 1);
    a->dialog = GTK_DIALOG(g_object_ref(dialog));
    a->folder = g_strdup(folder);
    a->name = g_strdup(name);
    a->path = name ? g_build_filename(folder, name, NULL) : g_strdup(folder);
    a->give_up_at = g_get_monotonic_time() + (gint64)ANSWER_LIMIT_MS * 1000;
    a->complain = complain;
    g_signal_connect(dialog, "response", G_CALLBACK(chooser_responded), a);
    chooser_enter(a);
    g_timeout_add(20, chooser_hold_answer, a);
}
