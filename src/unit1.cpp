#include "unit1.h"

#include <array>

#include "commands/drives.h"
#include "commands/fragments.h"
#include "commands/operations.h"
#include "os/files.h"
#include "os/shell.h"
#include "os/textfile.h"
#include "ui/boxes.h"

extern "C" void unit1_register_resource(void);

TForm1* Form1 = nullptr;

const ui::HandlerName<TForm1> TForm1::Handlers[9] = {
    {"Button1Click", &TForm1::Button1Click}, {"Button2Click", &TForm1::Button2Click},
    {"Button3Click", &TForm1::Button3Click}, {"Button4Click", &TForm1::Button4Click},
    {"Button5Click", &TForm1::Button5Click}, {"Button6Click", &TForm1::Button6Click},
    {"Button7Click", &TForm1::Button7Click}, {"Button8Click", &TForm1::Button8Click},
    {"Form1Create", &TForm1::Form1Create},
};

namespace {

// Keyboard travel. The option group has no number of its own in the layout;
// it takes its place in creation order, between "..." and the erase mode.
constexpr std::array<std::string_view, 20> kTabOrder{
    "ComboBox1", "foldertoburn", "Button1",
    "CheckGroup1.0", "CheckGroup1.1", "CheckGroup1.2", "CheckGroup1.3",
    "ComboBox2", "Button2", "Button3", "Button4", "Button5", "speed", "Button6",
    "title", "Button7", "ComboBox3", "edit1", "Button8", "CheckBox1"};

constexpr std::string_view kIsoFilter = "ISO file|*.iso";

constexpr std::array<ui::DialogLayout, 3> kDialogs{{
    {"SelectDirectoryDialog1", ui::DialogKind::SelectDirectory, "Select Directory to burn", "/home", "", ""},
    {"SaveDialog1", ui::DialogKind::Save, "Save file as", "", ".iso", kIsoFilter},
    {"OpenDialog1", ui::DialogKind::Open, "Openan ISO to burn", "", ".iso", kIsoFilter},
}};

} // namespace

// What unit1.ui cannot hold: where the window opens, keyboard travel, the dialogs.
const ui::FormLayout TForm1::Layout{299, 216, kTabOrder, kDialogs};

void Unit1Initialization()
{
    unit1_register_resource();
}

namespace {

constexpr std::string_view kAboutText = "\r\nTarvelin 0.13, a front-end to cdrecord, mkisofs and dvd+rw-format";

enum Option { kLongJoliet = 0, kIsoLevel4 = 1, kNoDeepFolders = 2, kBurnproof = 3 };

// The scratch files, the user's drive list and the tools named with "./" are
// all looked for beside the program.
void MoveToProgramDir()
{
    static const std::string programDir = os::ExtractFilePath(os::ExecutablePath());
    os::SetCurrentDir(programDir);
}

// Hands each line of the file to take until take says it has had enough.
template <class Take>
void ReadLines(std::string_view name, Take take)
{
    os::TextFile file{std::string(name)};
    file.Reset();
    while (!file.Eof())
        if (take(file.ReadLine()))
            break;
    file.Close();
}

// What a query does when the shell made no scratch file.
enum class NoFile { MeansNoAnswer, RaisesError };

// Runs a query whose answer the shell writes into a scratch file beside the
// program, hands the answer's lines to take as ReadLines does, and deletes
// the file. An error while reading leaves the file where it is.
template <class Take>
void RunQuery(const std::string& command, std::string_view scratchFile, NoFile noFile, Take take)
{
    MoveToProgramDir();
    const std::string scratch(scratchFile);
    os::ShellRun(command);
    if (noFile == NoFile::RaisesError || os::FileExists(scratch))
        ReadLines(scratch, take);
    os::DeleteFile(scratch);
}

// The recorder must be told exactly what it is about to write: the image's
// own size, not a measure of something else.
std::string ImageTrackSize(const std::string& imagePath)
{
    return commands::TrackSizeOfBytes(os::FileSize(imagePath));
}

} // namespace

void TForm1::Form1Create(ui::TObject*)
{
    MoveToProgramDir();
    if (os::FileExists(std::string(commands::kDriveListFile))) {
        ReadLines(commands::kDriveListFile, [this](const std::string& line) {
            ComboBox1.Items.Add(line);
            return false;
        });
        ComboBox1.SetItemIndex(0);
    } else {
        ScanDrives();
    }
    CheckBurnproof();
}

void TForm1::ScanDrives()
{
    RunQuery(commands::ScanCommand(ToolsInProgramFolder()), commands::kDriveScratchFile, NoFile::MeansNoAnswer,
             [this](const std::string& line) {
                 if (commands::IsDriveLine(line))
                     ComboBox1.Items.Add(commands::DriveEntry(line));
                 return false;
             });
    ComboBox1.SetItemIndex(0);
}

std::string TForm1::GetDevice() const
{
    return commands::DeviceArgument(ComboBox1.Text());
}

// The first line of the drive's answer that holds the marker, or nothing.
std::string TForm1::QueryBurnproof(const std::string& device)
{
    std::string capability;
    RunQuery(commands::CapabilityQuery(ToolsInProgramFolder(), device), commands::kDriveScratchFile,
             NoFile::MeansNoAnswer, [&capability](const std::string& line) {
                 if (!commands::HoldsBurnproofMarker(line))
                     return false;
                 capability = line;
                 return true;
             });
    return capability;
}

void TForm1::CheckBurnproof()
{
    const std::string capability = QueryBurnproof(GetDevice());
    CheckGroup1.SetChecked(kBurnproof, !commands::HoldsBurnproofMarker(capability));
}

bool TForm1::ToolsInProgramFolder() const
{
    return CheckBox1.Checked();
}

std::string TForm1::ImageOptions() const
{
    return commands::ImageOptions(CheckGroup1.Checked(kLongJoliet), CheckGroup1.Checked(kIsoLevel4),
                                  CheckGroup1.Checked(kNoDeepFolders));
}

// Asks the drive afresh each time; a drive without the protection is told
// about, and the burn goes on without it.
std::string TForm1::BurnArgument(const std::string& device)
{
    if (!CheckGroup1.Checked(kBurnproof))
        return "";
    if (commands::HoldsBurnproofMarker(QueryBurnproof(device))) {
        ui::ShowMessage(std::string(commands::kBurnproofUnsupported));
        return "";
    }
    return std::string(commands::kBurnproofArgument);
}

// The field shows the title as the disc will carry it, whatever happens next.
std::string TForm1::RewriteTitle()
{
    title.SetText(commands::VolumeTitle(title.Text()));
    return title.Text();
}

// The folder's image size in sectors, as mkisofs prints it on its first line.
std::string TForm1::FolderTrackSize()
{
    std::string size;
    RunQuery(commands::TrackSizeQuery(ToolsInProgramFolder(), foldertoburn.Text()), commands::kTrackSizeFile,
             NoFile::RaisesError, [&size](const std::string& line) {
                 size = line;
                 return true;
             });
    return size;
}

commands::Medium TForm1::SelectedMedium() const
{
    return commands::MediumFromIndex(ComboBox3.ItemIndex());
}

void TForm1::Button1Click(ui::TObject*)
{
    if (SelectDirectoryDialog1.Execute())
        foldertoburn.SetText(SelectDirectoryDialog1.FileName);
}

void TForm1::Button2Click(ui::TObject*)
{
    const int eraseMode = ComboBox2.ItemIndex();
    os::ShellRun(commands::EraseTerminalLine(commands::EraseCommand(ToolsInProgramFolder(), GetDevice(), eraseMode)));
}

void TForm1::Button3Click(ui::TObject*)
{
    commands::FolderBurn burn;
    burn.device = GetDevice();
    burn.imageOptions = ImageOptions();
    burn.burnArgument = BurnArgument(burn.device);
    burn.speed = commands::SpeedArgument(speed.Text());
    burn.title = RewriteTitle();
    burn.folder = foldertoburn.Text();
    burn.toolsInProgramFolder = ToolsInProgramFolder();
    const commands::Medium medium = SelectedMedium();
    if (medium == commands::Medium::DVD)
        burn.trackSize = FolderTrackSize();
    os::ShellRun(commands::BurnFolderTerminalLine(commands::BurnFolderCommand(burn, medium)));
}

void TForm1::Button4Click(ui::TObject*)
{
    ui::ShowMessage(std::string(kAboutText));
}

void TForm1::Button5Click(ui::TObject*)
{
    Close();
}

void TForm1::Button6Click(ui::TObject*)
{
    if (!SaveDialog1.Execute())
        return;
    commands::ImageFile image;
    image.imageOptions = ImageOptions();
    image.path = SaveDialog1.FileName;
    image.title = RewriteTitle();
    image.folder = foldertoburn.Text();
    image.toolsInProgramFolder = ToolsInProgramFolder();
    os::ShellRun(commands::MakeImageTerminalLine(commands::MakeImageCommand(image)));
}

void TForm1::Button7Click(ui::TObject*)
{
    commands::ImageBurn burn;
    burn.device = GetDevice();
    if (!OpenDialog1.Execute())
        return;
    burn.speed = commands::SpeedArgument(speed.Text());
    burn.burnArgument = BurnArgument(burn.device);
    burn.path = OpenDialog1.FileName;
    burn.toolsInProgramFolder = ToolsInProgramFolder();
    const commands::Medium medium = SelectedMedium();
    if (medium == commands::Medium::DVD)
        burn.trackSize = ImageTrackSize(burn.path);
    os::ShellRun(commands::BurnImageTerminalLine(os::ExtractFileName(burn.path),
                                                 commands::BurnImageCommand(burn, medium)));
}

void TForm1::Button8Click(ui::TObject*)
{
    const std::string format = commands::FormatCommand(edit1.Text());
    ui::ShowMessage(format);
    os::ShellRun(commands::FormatTerminalLine(format));
}
