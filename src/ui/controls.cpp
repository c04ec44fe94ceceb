#include "ui/controls.h"

#include <gtk/gtk.h>

#include "text/ascii.h"
#include "ui/errors.h"

namespace ui {

namespace {

GtkEntry* EntryOf(GtkWidget* combo)
{
    return GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo)));
}

} // namespace

TControl::TControl(TForm& owner, std::string_view name)
    : widget_(GTK_WIDGET(owner.Component(name)))
{
    g_object_set_data(G_OBJECT(widget_), "TObject", static_cast<TObject*>(this));
}

std::string TEdit::Text() const
{
    return gtk_entry_get_text(GTK_ENTRY(widget_));
}

void TEdit::SetText(const std::string& text)
{
    gtk_entry_set_text(GTK_ENTRY(widget_), text.c_str());
}

bool TCheckBox::Checked() const
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget_));
}

void TCheckBox::SetChecked(bool checked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget_), checked);
}

TCheckGroup::TCheckGroup(TForm& owner, std::string_view name)
    : TControl(owner, name)
{
    const std::string group(name);
    while (GObject* item = owner.FindComponent(group + "." + std::to_string(items_.size())))
        items_.push_back(GTK_WIDGET(item));
}

GtkWidget* TCheckGroup::Item(int item) const
{
    return items_.at(static_cast<std::size_t>(item));
}

bool TCheckGroup::Checked(int item) const
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Item(item)));
}

void TCheckGroup::SetChecked(int item, bool checked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Item(item)), checked);
}

TComboBox::TComboBox(TForm& owner, std::string_view name)
    : TControl(owner, name), Items(widget_)
{
    if (!GTK_IS_COMBO_BOX_TEXT(widget_) || !gtk_combo_box_get_has_entry(GTK_COMBO_BOX(widget_)))
        throw EComponentError(std::string(name) + " is not a combo box with an entry");
    // In a drop-down list the entry only shows the choice: a click on it opens the list.
    GtkEntry* entry = EntryOf(widget_);
    if (!gtk_editable_get_editable(GTK_EDITABLE(entry))) {
        g_signal_connect(entry, "button-press-event",
                         G_CALLBACK(+[](GtkWidget*, GdkEventButton* event, gpointer combo) -> gboolean {
                             if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS)
                                 return FALSE;
                             gtk_combo_box_popup(GTK_COMBO_BOX(combo));
                             return TRUE;
                         }),
                         widget_);
    }
}

std::string TComboBox::Text() const
{
    return gtk_entry_get_text(EntryOf(widget_));
}

void TComboBox::SetText(const std::string& text)
{
    gtk_entry_set_text(EntryOf(widget_), text.c_str());
}

int TComboBox::ItemIndex() const
{
    const std::string shown = text::AsciiUpper(Text());
    for (int i = 0; i < Items.Count(); ++i)
        if (text::AsciiUpper(Items[i]) == shown)
            return i;
    return -1;
}

void TComboBox::SetItemIndex(int index)
{
    if (index >= 0 && index < Items.Count())
        gtk_combo_box_set_active(GTK_COMBO_BOX(widget_), index);
}

void TComboBox::TItems::Add(const std::string& item)
{
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo_), item.c_str());
}

int TComboBox::TItems::Count() const
{
    return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(combo_)), nullptr);
}

std::string TComboBox::TItems::operator[](int index) const
{
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo_));
    GtkTreeIter iter;
    if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, index))
        return "";
    gchar* text = nullptr;
    gtk_tree_model_get(model, &iter, gtk_combo_box_get_entry_text_column(GTK_COMBO_BOX(combo_)), &text, -1);
    std::string item = text ? text : "";
    g_free(text);
    return item;
}

} // namespace ui
