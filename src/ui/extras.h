#pragma once

// What a form's layout needs beyond what GtkBuilder can hold.

#include <span>
#include <string_view>

namespace ui {

enum class DialogKind { SelectDirectory, Open, Save };

struct DialogLayout {
    std::string_view name;
    DialogKind kind;
    std::string_view title;
    std::string_view initialDir;
    std::string_view defaultExt;
    std::string_view filter;          // "description|pattern", or empty
};

struct FormLayout {
    std::string_view className;
    int left;                          // where the window opens on the screen
    int top;
    std::span<const std::string_view> tabOrder;   // control names, first to last
    std::span<const DialogLayout> dialogs;
};

// Raises EComponentError for a class without a layout.
const FormLayout& LayoutOf(std::string_view className);
const DialogLayout& DialogOf(const FormLayout& form, std::string_view name);

} // namespace ui
