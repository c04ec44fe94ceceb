#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <filesystem>

#include "ui/application.h"
#include "unit1.h"

namespace {

std::filesystem::path runFolder;

// Everything a run makes outside the program's folder goes into one folder
// of its own: the recorders' folders, and what GTK keeps of the file
// dialogs (recent files, settings). It goes when the run ends, also through
// exit(), which is how a death test's child ends the program.
void KeepTheRunInOneFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvelin-window-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return;
    runFolder = pattern;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        setenv(variable, (runFolder / variable).c_str(), 1);
    setenv("TMPDIR", runFolder.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(runFolder); });
}

} // namespace

int main(int argc, char** argv)
{
    KeepTheRunInOneFolder();
    testing::InitGoogleTest(&argc, argv);
    ui::Application.Initialize(argc, argv);
    Unit1Initialization();
    return RUN_ALL_TESTS();
}
