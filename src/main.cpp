#include <cstdint>
#include <cstdio>
#include <exception>

#include "os/shell.h"
#include "os/exceptions.h"
#include "ui/application.h"
#include "unit1.h"

namespace {

constexpr int kStartupFailed = 217;

// Nothing is on the screen yet, so the report goes to standard output.
void ReportStartupFailure(const std::exception& failure)
{
    const auto* known = dynamic_cast<const os::Exception*>(&failure);
    const auto address = reinterpret_cast<std::uintptr_t>(known ? known->Address() : nullptr);
    std::printf("An unhandled exception occurred at 0x%08X :\n%s : %s\n",
                static_cast<unsigned>(address & 0xFFFFFFFFu), known ? known->ClassName() : "Exception",
                failure.what());
    std::fflush(stdout);
}

} // namespace

int ProgramMain(int argc, char** argv)
{
    ui::Application.Initialize(argc, argv);
    Unit1Initialization();
    try {
        ui::Application.CreateForm(Form1);
    } catch (const std::exception& failure) {
        ReportStartupFailure(failure);
        return kStartupFailed;
    }
    ui::Application.Run();
    return 0;
}

int main(int argc, char** argv, char** envp)
{
    os::KeepStartupEnvironment(envp);
    return ProgramMain(argc, argv);
}
