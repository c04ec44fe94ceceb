#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/form.h"

namespace ui {

// A control of a form, found in the form's layout by its name.
class TControl : public TObject {
public:
    TControl(TForm& owner, std::string_view name);
    GtkWidget* Widget() const { return widget_; }

protected:
    GtkWidget* widget_;
};

class TLabel : public TControl {
public:
    using TControl::TControl;
};

class TButton : public TControl {
public:
    using TControl::TControl;
};

// A text the program puts into an entry, kept byte for byte: the entry shows
// a readable form of it (GTK shows UTF-8 only) and gives back the bytes for
// as long as it shows that form. What the user types replaces it.
class TKeptText {
public:
    void Put(GtkWidget* entry, const std::string& bytes);
    std::string From(GtkWidget* entry) const;

private:
    std::string bytes_;
    std::string shown_;
};

class TEdit : public TControl {
public:
    using TControl::TControl;
    std::string Text() const;
    void SetText(const std::string& text);

private:
    TKeptText kept_;
};

class TCheckBox : public TControl {
public:
    using TControl::TControl;
    bool Checked() const;
    void SetChecked(bool checked);
};

// A framed group of check boxes; its items are named after the group: "Group.0", "Group.1", ...
class TCheckGroup : public TControl {
public:
    TCheckGroup(TForm& owner, std::string_view name);
    bool Checked(int item) const;
    void SetChecked(int item, bool checked);
    int Count() const { return static_cast<int>(items_.size()); }

private:
    GtkWidget* Item(int item) const;
    std::vector<GtkWidget*> items_;
};

// Editable, or a drop-down list whose entry takes no typing. Either way it
// shows a text, which need not be one of its items.
class TComboBox : public TControl {
public:
    TComboBox(TForm& owner, std::string_view name);

    std::string Text() const;
    void SetText(const std::string& text);
    // The first item equal to the shown text, ASCII case folded; -1 for none.
    int ItemIndex() const;
    // Shows that item; a position outside the list changes nothing.
    void SetItemIndex(int index);

    // The items as the program gave them, byte for byte; the list shows
    // a readable form of each.
    class TItems {
    public:
        explicit TItems(GtkWidget* combo);
        void Add(const std::string& item);
        int Count() const;
        std::string operator[](int index) const;

    private:
        GtkWidget* combo_;
        std::vector<std::string> items_;
    };
    TItems Items;

private:
    TKeptText kept_;
};

} // namespace ui
