#pragma once

// What a form's layout needs beyond what GtkBuilder can hold. Each form
// carries its own, beside its layout file.

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
    int left;                          // where the window opens on the screen
    int top;
    std::span<const std::string_view> tabOrder;   // control names, first to last
    std::span<const DialogLayout> dialogs;
};

} // namespace ui
