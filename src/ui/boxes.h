#pragma once

#include <string>

namespace ui {

// A notice with one OK button; returns when the user has closed it, however.
void ShowMessage(const std::string& text);

// The error report with OK and Cancel; true only for OK.
bool ErrorBoxAccepted(const std::string& message);

} // namespace ui
