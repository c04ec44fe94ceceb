#include "ui/boxes.h"

#include <gtk/gtk.h>

#include "ui/application.h"

namespace ui {

namespace {

// Plain text, never markup: the boxes show names and paths as they are.
GtkWidget* NewBox(GtkMessageType type, const char* icon, const std::string& text)
{
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_NONE, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), Application.Title().c_str());
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    // GTK 3 no longer draws the kind of message; the icon beside the text does.
    GtkWidget* beside = gtk_widget_get_parent(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box)));
    GtkWidget* image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(beside), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(beside), image, 0);
    gtk_widget_show(image);
    return box;
}

int Run(GtkWidget* box)
{
    const int response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    return response;
}

} // namespace

void ShowMessage(const std::string& text)
{
    GtkWidget* box = NewBox(GTK_MESSAGE_INFO, "dialog-information", text);
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    Run(box);
}

bool ErrorBoxAccepted(const std::string& message)
{
    GtkWidget* box = NewBox(GTK_MESSAGE_ERROR, "dialog-error", message);
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(box), "Cancel", GTK_RESPONSE_CANCEL);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    return Run(box) == GTK_RESPONSE_OK;
}

} // namespace ui
