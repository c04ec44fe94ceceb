#pragma once

namespace ui {

// GTK's default theme makes entries, buttons and combo boxes taller than the
// layouts' 23 to 25 pixels; this style lets every control take exactly its
// layout size.
void UseCompactStyle();

} // namespace ui
