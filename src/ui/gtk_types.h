#pragma once

// The window layer's headers name GTK objects only by pointer, so that the
// form and its operations compile without the toolkit's headers.
typedef struct _GObject GObject;
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkBuilder GtkBuilder;
