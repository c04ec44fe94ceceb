/* The first widget of a type in a widget's tree, itself included; shared by
 * the dialog record and the window tests, which both look into dialogs. */
#pragma once

#include <gtk/gtk.h>

static inline GtkWidget* find_widget(GtkWidget* widget, GType type)
{
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
        return widget;
    GtkWidget* found = NULL;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c && !found; c = c->next)
            found = find_widget(GTK_WIDGET(c->data), type);
        g_list_free(children);
    }
    return found;
}
