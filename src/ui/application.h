#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/form.h"

namespace ui {

class TApplication {
public:
    // Starts the toolkit, which takes its own options from the command line,
    // and fixes the title from the executable's path as it is at start-up:
    // renaming the file while the program runs does not rename its boxes.
    void Initialize(int& argc, char**& argv);

    // Builds the form, binds its handlers and runs its creation handler. The
    // reference is set before that handler runs, and set back to null when
    // the creation fails; the failure goes on to the caller.
    template <class F>
    void CreateForm(F*& ref);

    // Shows the main form and delivers events until Terminate.
    void Run();
    void Terminate();
    TForm* MainForm() const { return mainForm_.get(); }

    // The executable's file name without its extension: the boxes' caption.
    const std::string& Title() const { return title_; }

    // Every event handler runs inside this: an exception ends the handler and
    // is reported in the error box. Nothing escapes into the toolkit.
    void Guard(const std::function<void()>& handler) noexcept;

private:
    void ShowException(std::string message);
    void AdoptMainForm(std::unique_ptr<TForm> form);

    std::unique_ptr<TForm> mainForm_;
    std::string title_;
    bool handlingException_ = false;
};

extern TApplication Application;

template <class F>
void TApplication::CreateForm(F*& ref)
{
    auto form = std::make_unique<F>(F::ClassName, F::Layout);
    TForm::Handlers bound;
    for (const HandlerName<F>& h : F::Handlers)
        bound.emplace(std::string(h.name), [f = form.get(), m = h.method](TObject* sender) { (f->*m)(sender); });
    form->BindHandlers(bound);

    ref = form.get();
    struct ForgetOnFailure {
        F*& ref;
        bool created = false;
        ~ForgetOnFailure() { if (!created) ref = nullptr; }
    } forget{ref};
    form->Create();
    forget.created = true;
    AdoptMainForm(std::move(form));
}

} // namespace ui
