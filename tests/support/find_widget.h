/* Searches in a widget's tree, itself included, depth first; shared by the
 * dialog record and the window tests, which both look into dialogs. */
#pragma once

#include <gtk/gtk.h>

typedef gboolean (*widget_test)(GtkWidget* widget, gconstpointer data);

/* The first widget in the tree that passes the test; NULL for none. */
static inline GtkWidget* find_widget_where(GtkWidget* widget, widget_test test, gconstpointer data)
{
    if (test(widget, data))
        return widget;
    GtkWidget* found = NULL;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c && !found; c = c->next)
            found = find_widget_where(GTK_WIDGET(c->data), test, data);
        g_list_free(children);
    }
    return found;
}

static inline gboolean widget_of_type(GtkWidget* widget, gconstpointer type)
{
    return G_TYPE_CHECK_INSTANCE_TYPE(widget, (GType)GPOINTER_TO_SIZE(type));
}

/* The first widget of a type in the tree. */
static inline GtkWidget* find_widget(GtkWidget* widget, GType type)
{
    return find_widget_where(widget, widget_of_type, GSIZE_TO_POINTER(type));
}
