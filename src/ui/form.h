#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/gtk_types.h"
#include "ui/layout.h"

namespace ui {

// The base of everything the window layer hands to a handler as its Sender.
class TObject {
public:
    virtual ~TObject() = default;
};

// A window built from the layout file registered under its class name, with
// the rest of its layout beside it.
class TForm : public TObject {
public:
    using Handler = std::function<void(TObject* sender)>;
    using Handlers = std::map<std::string, Handler, std::less<>>;

    TForm(std::string_view className, const FormLayout& layout);
    ~TForm() override;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Binds each handler that the layout names to its control's event, and
    // keeps the one it names for the window's creation.
    void BindHandlers(const Handlers& handlers);
    // The creation handler: the controls have their layout values, nothing is shown yet.
    void Create();
    void Show();
    // Nothing ever refuses to close; closing the main window ends the program.
    void Close();

    // The layout's object of that name; raises EComponentError when there is none.
    GObject* Component(std::string_view name) const;
    GObject* FindComponent(std::string_view name) const;   // null when there is none
    // The layout of the dialog of that name; raises EComponentError when there is none.
    const DialogLayout& LayoutOfDialog(std::string_view name) const;
    GtkWidget* Window() const { return window_.get(); }
    // What made the window from the layout file; it lives as long as the form.
    GtkBuilder* Builder() const { return builder_.get(); }

private:
    void MoveFocus(bool forward);

    struct ReleaseBuilder { void operator()(GtkBuilder* builder) const; };
    struct DestroyWindow { void operator()(GtkWidget* window) const; };

    const std::string className_;
    const FormLayout& layout_;
    // Declared in this order so that the window goes before the builder that made it.
    std::unique_ptr<GtkBuilder, ReleaseBuilder> builder_;
    std::unique_ptr<GtkWidget, DestroyWindow> window_;
    Handler onCreate_;
    std::vector<GtkWidget*> tabOrder_;
    friend struct FormSignals;
};

// A form class's handlers by the names its layout uses.
template <class F>
struct HandlerName {
    std::string_view name;
    void (F::*method)(TObject* sender);
};

} // namespace ui
