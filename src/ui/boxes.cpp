#include "ui/boxes.h"

#include <gtk/gtk.h>

#include "ui/application.h"

namespace ui {

namespace {

// A modal box over the main window, centred on the screen, with the icon
// beside the text. The text is plain, never markup: the boxes show names and
// commands as they are.
GtkWidget* NewBox(const char* icon, const std::string& text)
{
    const TForm* main = Application.MainForm();
    GtkWidget* box = gtk_dialog_new_with_buttons(Application.Title().c_str(), main ? GTK_WINDOW(main->Window()) : nullptr,
                                                 GTK_DIALOG_MODAL, nullptr, nullptr);
    GtkWindow* window = GTK_WINDOW(box);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);

    GtkWidget* image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_yalign(GTK_LABEL(label), 0);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
    gtk_container_set_border_width(GTK_CONTAINER(row), 18);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box))), row, TRUE, TRUE, 0);
    gtk_widget_show_all(row);
    return box;
}

int Run(GtkWidget* box)
{
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    const int response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    return response;
}

} // namespace

void ShowMessage(const std::string& text)
{
    GtkWidget* box = NewBox("dialog-information", text);
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK);
    Run(box);
}

bool ErrorBoxAccepted(const std::string& message)
{
    GtkWidget* box = NewBox("dialog-error", message);
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(box), "Cancel", GTK_RESPONSE_CANCEL);
    return Run(box) == GTK_RESPONSE_OK;
}

} // namespace ui
