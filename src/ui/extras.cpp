#include "ui/extras.h"

#include <array>

#include "ui/errors.h"

namespace ui {

namespace {

// Keyboard travel. The option group has no number of its own in the layout;
// it takes its place in creation order, between "..." and the erase mode.
constexpr std::array<std::string_view, 20> kTForm1TabOrder{
    "ComboBox1", "foldertoburn", "Button1",
    "CheckGroup1.0", "CheckGroup1.1", "CheckGroup1.2", "CheckGroup1.3",
    "ComboBox2", "Button2", "Button3", "Button4", "Button5", "speed", "Button6",
    "title", "Button7", "ComboBox3", "edit1", "Button8", "CheckBox1"};

constexpr std::string_view kIsoFilter = "ISO file|*.iso";

constexpr std::array<DialogLayout, 3> kTForm1Dialogs{{
    {"SelectDirectoryDialog1", DialogKind::SelectDirectory, "Select Directory to burn", "/home", "", ""},
    {"SaveDialog1", DialogKind::Save, "Save file as", "", ".iso", kIsoFilter},
    {"OpenDialog1", DialogKind::Open, "Openan ISO to burn", "", ".iso", kIsoFilter},
}};

constexpr std::array<FormLayout, 1> kForms{{
    {"TForm1", 299, 216, kTForm1TabOrder, kTForm1Dialogs},
}};

} // namespace

const FormLayout& LayoutOf(std::string_view className)
{
    for (const FormLayout& form : kForms)
        if (form.className == className)
            return form;
    throw EComponentError("No layout for " + std::string(className));
}

const DialogLayout& DialogOf(const FormLayout& form, std::string_view name)
{
    for (const DialogLayout& dialog : form.dialogs)
        if (dialog.name == name)
            return dialog;
    throw EComponentError("No dialog " + std::string(name) + " in " + std::string(form.className));
}

} // namespace ui
