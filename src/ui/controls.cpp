#include "ui/controls.h"

#include <gtk/gtk.h>

#include "text/ascii.h"
#include "ui/errors.h"

namespace ui {

namespace {

GtkWidget* EntryOf(GtkWidget* combo)
{
    return gtk_bin_get_child(GTK_BIN(combo));
}

GtkWidget* ComboWithEntry(GtkWidget* widget, std::string_view name)
{
    if (!GTK_IS_COMBO_BOX_TEXT(widget) || !gtk_combo_box_get_has_entry(GTK_COMBO_BOX(widget)))
        throw EComponentError(std::string(name) + " is not a combo box with an entry");
    return widget;
}

// Bytes that are not UTF-8 show as U+FFFD; a NUL byte too, which would end the text.
std::string Readable(const std::string& bytes)
{
    gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
    std::string readable = valid;
    g_free(valid);
    return readable;
}

} // namespace

void TKeptText::Put(GtkWidget* entry, const std::string& bytes)
{
    bytes_ = bytes;
    shown_ = Readable(bytes);
    gtk_entry_set_text(GTK_ENTRY(entry), shown_.c_str());
}

std::string TKeptText::From(GtkWidget* entry) const
{
    const std::string shown = gtk_entry_get_text(GTK_ENTRY(entry));
    return shown == shown_ ? bytes_ : shown;
}

TControl::TControl(TForm& owner, std::string_view name)
    : widget_(GTK_WIDGET(owner.Component(name)))
{
    g_object_set_data(G_OBJECT(widget_), "TObject", static_cast<TObject*>(this));
}

std::string TEdit::Text() const
{
    return kept_.From(widget_);
}

void TEdit::SetText(const std::string& text)
{
    kept_.Put(widget_, text);
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
    : TControl(owner, name), Items(ComboWithEntry(widget_, name))
{
    // In a drop-down list the entry only shows the choice: a click on it opens the list.
    GtkWidget* entry = EntryOf(widget_);
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
    // GTK drops the selection as soon as the entry shows anything else.
    const int selected = gtk_combo_box_get_active(GTK_COMBO_BOX(widget_));
    if (selected >= 0)
        return Items[selected];
    return kept_.From(EntryOf(widget_));
}

void TComboBox::SetText(const std::string& text)
{
    kept_.Put(EntryOf(widget_), text);
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

TComboBox::TItems::TItems(GtkWidget* combo)
    : combo_(combo)
{
    // The layout's own items are UTF-8: what the list shows is what they are.
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    const int column = gtk_combo_box_get_entry_text_column(GTK_COMBO_BOX(combo));
    GtkTreeIter iter;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more; more = gtk_tree_model_iter_next(model, &iter)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &iter, column, &text, -1);
        items_.emplace_back(text ? text : "");
        g_free(text);
    }
}

void TComboBox::TItems::Add(const std::string& item)
{
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo_), Readable(item).c_str());
    items_.push_back(item);
}

int TComboBox::TItems::Count() const
{
    return static_cast<int>(items_.size());
}

std::string TComboBox::TItems::operator[](int index) const
{
    if (index < 0 || index >= Count())
        return "";
    return items_[static_cast<std::size_t>(index)];
}

} // namespace ui
