#include "ui/style.h"

#include <gtk/gtk.h>

namespace ui {

namespace {
constexpr const char* kCompactStyle = R"css(
.layout-form, .layout-form * { font-family: "DejaVu Sans", sans-serif; font-size: 8pt; }
.layout-form entry, .layout-form button, .layout-form combobox button, .layout-form checkbutton {
    min-height: 0; padding-top: 0; padding-bottom: 0;
}
.layout-form entry { padding-left: 4px; padding-right: 4px; }
.layout-form button { padding-left: 4px; padding-right: 4px; }
.layout-form combobox button { padding-left: 2px; padding-right: 2px; }
.layout-form combobox entry { min-width: 0; }
.layout-form frame > border { padding: 0; }
.layout-form checkbutton check { min-height: 12px; min-width: 12px; }
/* The theme draws a tick from an SVG asset first, which loads the SVG image
   loader and its library at start-up; its PNG twin looks the same. */
.layout-form check:checked {
    -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/check-symbolic.symbolic.png"));
}
)css";
}

void UseCompactStyle()
{
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kCompactStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

} // namespace ui
