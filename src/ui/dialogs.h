#pragma once

#include <string>
#include <string_view>

#include "ui/form.h"
#include "ui/layout.h"

namespace ui {

// A file dialog of a form, with the properties its layout gives it. It keeps
// FileName and InitialDir from one Execute to the next.
class TFileDialog : public TObject {
public:
    // Shows the dialog modally; true when the user confirmed a choice. The
    // working directory is the same afterwards, whatever happened.
    bool Execute();

    std::string FileName;
    std::string InitialDir;
    const std::string Title;
    const std::string DefaultExt;
    const std::string Filter;

protected:
    TFileDialog(TForm& owner, std::string_view name, DialogKind kind);

private:
    TFileDialog(TForm& owner, const DialogLayout& layout);
    bool Run();
    void ApplyDefaultExt();

    TForm& owner_;
    const DialogKind kind_;
};

class TSelectDirectoryDialog : public TFileDialog {
public:
    TSelectDirectoryDialog(TForm& owner, std::string_view name) : TFileDialog(owner, name, DialogKind::SelectDirectory) {}
};

class TOpenDialog : public TFileDialog {
public:
    TOpenDialog(TForm& owner, std::string_view name) : TFileDialog(owner, name, DialogKind::Open) {}
};

class TSaveDialog : public TFileDialog {
public:
    TSaveDialog(TForm& owner, std::string_view name) : TFileDialog(owner, name, DialogKind::Save) {}
};

} // namespace ui
