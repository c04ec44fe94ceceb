#pragma once

#include <string>
#include <string_view>

#include "commands/operations.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/form.h"

// The main window: every operation is one of its click handlers.
class TForm1 : public ui::TForm {
public:
    static constexpr std::string_view ClassName = "TForm1";
    using TForm::TForm;

    // Bound by name to the window's layout.
    ui::TButton Button1{*this, "Button1"};
    ui::TButton Button2{*this, "Button2"};
    ui::TButton Button3{*this, "Button3"};
    ui::TButton Button4{*this, "Button4"};
    ui::TButton Button5{*this, "Button5"};
    ui::TButton Button6{*this, "Button6"};
    ui::TButton Button7{*this, "Button7"};
    ui::TButton Button8{*this, "Button8"};
    ui::TCheckBox CheckBox1{*this, "CheckBox1"};
    ui::TCheckGroup CheckGroup1{*this, "CheckGroup1"};
    ui::TComboBox ComboBox1{*this, "ComboBox1"};
    ui::TComboBox ComboBox2{*this, "ComboBox2"};
    ui::TComboBox ComboBox3{*this, "ComboBox3"};
    ui::TEdit edit1{*this, "edit1"};
    ui::TLabel Label4{*this, "Label4"};
    ui::TOpenDialog OpenDialog1{*this, "OpenDialog1"};
    ui::TEdit title{*this, "title"};
    ui::TLabel Label3{*this, "Label3"};
    ui::TSaveDialog SaveDialog1{*this, "SaveDialog1"};
    ui::TComboBox speed{*this, "speed"};
    ui::TEdit foldertoburn{*this, "foldertoburn"};
    ui::TLabel Label1{*this, "Label1"};
    ui::TLabel Label2{*this, "Label2"};
    ui::TSelectDirectoryDialog SelectDirectoryDialog1{*this, "SelectDirectoryDialog1"};

    void Button1Click(ui::TObject* Sender);   // "..."
    void Button2Click(ui::TObject* Sender);   // "Erase CDRW"
    void Button3Click(ui::TObject* Sender);   // "Burn"
    void Button4Click(ui::TObject* Sender);   // "About"
    void Button5Click(ui::TObject* Sender);   // "Close"
    void Button6Click(ui::TObject* Sender);   // "Make ISO"
    void Button7Click(ui::TObject* Sender);   // "Open ISO and burn"
    void Button8Click(ui::TObject* Sender);   // "Format DVDRW"
    void Form1Create(ui::TObject* Sender);

    static const ui::HandlerName<TForm1> Handlers[9];
    static const ui::FormLayout Layout;

private:
    std::string GetDevice() const;
    void ScanDrives();
    std::string QueryBurnproof(const std::string& device);
    void CheckBurnproof();

    bool ToolsInProgramFolder() const;
    std::string ImageOptions() const;
    std::string BurnArgument(const std::string& device);
    std::string RewriteTitle();
    std::string FolderTrackSize();
    commands::Medium SelectedMedium() const;
};

extern TForm1* Form1;

// Registers the window's layout with the window layer.
void Unit1Initialization();
