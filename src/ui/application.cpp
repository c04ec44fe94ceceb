#include "ui/application.h"

#include <cstdlib>
#include <exception>

#include <gtk/gtk.h>

#include "os/files.h"
#include "ui/boxes.h"
#include "ui/style.h"

namespace ui {

TApplication Application;

namespace {

// The executable's file name without its extension.
std::string TitleOf(const std::string& executable)
{
    std::string name = os::ExtractFileName(executable);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

} // namespace

void TApplication::Initialize(int& argc, char**& argv)
{
    title_ = TitleOf(os::ExecutablePath());
    gtk_init(&argc, &argv);
    UseCompactStyle();
}

void TApplication::Run()
{
    if (!mainForm_)
        return;
    mainForm_->Show();
    gtk_main();
}

void TApplication::Terminate()
{
    if (gtk_main_level() > 0)
        gtk_main_quit();
}

void TApplication::Guard(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
}

void TApplication::ShowException(std::string message)
{
    // A failure while the last one is still on the screen: give up quietly.
    if (handlingException_)
        std::exit(0);
    handlingException_ = true;
    if (!message.empty() && message.back() != '.')
        message += '.';
    if (!ErrorBoxAccepted(message))
        std::exit(0);
    handlingException_ = false;
}

void TApplication::AdoptMainForm(std::unique_ptr<TForm> form)
{
    mainForm_ = std::move(form);
}

} // namespace ui
