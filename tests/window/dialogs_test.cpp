// The boxes and file dialogs as the user meets them on a small screen: each
// stays with the main window and lies whole on the screen; the folder chooser
// makes nothing on disk; the boxes' caption is the one the program started
// with; the save dialog comes back on its last path, and the open dialog
// lists every image.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "os/files.h"
#include "support.h"

namespace {

GdkRectangle WorkArea()
{
    GdkRectangle area;
    gdk_monitor_get_workarea(gdk_display_get_monitor(gdk_display_get_default(), 0), &area);
    return area;
}

GdkRectangle FrameOf(GtkWidget* window)
{
    GdkRectangle frame;
    gdk_window_get_frame_extents(gtk_widget_get_window(window), &frame);
    return frame;
}

bool Inside(const GdkRectangle& inner, const GdkRectangle& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::string Describe(const GdkRectangle& r)
{
    return std::to_string(r.width) + "x" + std::to_string(r.height) + " at " + std::to_string(r.x) + "," +
           std::to_string(r.y);
}

// What the user sees of a box.
struct BoxSeen {
    std::string caption;
    std::string icon;
    std::vector<std::string> buttons;   // left to right
    std::string defaultButton;
    GtkWindow* over = nullptr;
    bool modal = false;
    GdkRectangle frame{};
};

BoxSeen Look(GtkDialog* box)
{
    BoxSeen seen;
    seen.caption = gtk_window_get_title(GTK_WINDOW(box));
    if (GtkWidget* image = find_widget(gtk_dialog_get_content_area(box), GTK_TYPE_IMAGE)) {
        const gchar* icon = nullptr;
        gtk_image_get_icon_name(GTK_IMAGE(image), &icon, nullptr);
        seen.icon = icon ? icon : "";
    }
    GtkWidget* ok = gtk_dialog_get_widget_for_response(box, GTK_RESPONSE_OK);
    if (ok) {
        GList* buttons = gtk_container_get_children(GTK_CONTAINER(gtk_widget_get_parent(ok)));
        std::vector<std::pair<int, std::string>> placed;
        for (GList* b = buttons; b; b = b->next) {
            GtkAllocation at;
            gtk_widget_get_allocation(GTK_WIDGET(b->data), &at);
            placed.emplace_back(at.x, gtk_button_get_label(GTK_BUTTON(b->data)));
            if (gtk_widget_has_default(GTK_WIDGET(b->data)))
                seen.defaultButton = placed.back().second;
        }
        g_list_free(buttons);
        std::sort(placed.begin(), placed.end());
        for (const auto& [x, label] : placed)
            seen.buttons.push_back(label);
    }
    seen.over = gtk_window_get_transient_for(GTK_WINDOW(box));
    seen.modal = gtk_window_get_modal(GTK_WINDOW(box));
    seen.frame = FrameOf(GTK_WIDGET(box));
    return seen;
}

using Dialogs = StartedWindow;

TEST_F(Dialogs, EveryBoxIsModalOverTheMainWindowAndCentredOnTheScreen)
{
    const struct {
        const char* name;
        std::function<void()> open;
        const char* icon;
        std::vector<std::string> buttons;
    } cases[] = {
        {"About", [] { Click(Form1->Button4); }, "dialog-information", {"_OK"}},
        {"the format command", [] { Click(Form1->Button8); }, "dialog-information", {"_OK"}},
        {"the error box",
         [] {
             // The shell cannot create temp.cfg through a link that points nowhere.
             fs::create_symlink("/nonexistent/temp.cfg", ProgramDir() / "temp.cfg");
             Form1->ComboBox3.SetText("DVD");
             Click(Form1->Button3);
             fs::remove(ProgramDir() / "temp.cfg");
         },
         "dialog-error", {"_OK", "Cancel"}},
    };
    const GdkRectangle screen = WorkArea();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BoxSeen seen;
        AnswerDialogs({[&](GtkDialog* d) {
            seen = Look(d);
            PressOk()(d);
        }});
        c.open();
        ASSERT_EQ(DialogsAnswered(), 1);
        EXPECT_EQ(seen.over, GTK_WINDOW(Form1->Window())) << "a box without its window can open behind it";
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.caption, "window_tests");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, "_OK");
        EXPECT_NEAR(seen.frame.x + seen.frame.width / 2, screen.x + screen.width / 2, 1) << Describe(seen.frame);
        EXPECT_NEAR(seen.frame.y + seen.frame.height / 2, screen.y + screen.height / 2, 1) << Describe(seen.frame);
    }
}

TEST_F(Dialogs, EachFileDialogLiesWholeOnTheScreenOverTheMainWindow)
{
    const struct {
        const char* name;
        ui::TFileDialog& dialog;
    } cases[] = {
        {"folder chooser", Form1->SelectDirectoryDialog1},
        {"save dialog", Form1->SaveDialog1},
        {"open dialog", Form1->OpenDialog1},
    };
    const GdkRectangle screen = WorkArea();
    ASSERT_EQ(screen.width, 1024) << "the test screen is a small one";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GtkWindow* over = nullptr;
        GdkRectangle frame{}, accept{};
        AnswerDialogs({[&](GtkDialog* d) {
            over = gtk_window_get_transient_for(GTK_WINDOW(d));
            frame = FrameOf(GTK_WIDGET(d));
            GtkWidget* button = gtk_window_get_default_widget(GTK_WINDOW(d));
            if (button && WaitUntil([&] { return gtk_widget_get_allocated_width(button) > 1; })) {
                int left = 0, top = 0;
                gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(d)), &left, &top);
                gtk_widget_translate_coordinates(button, GTK_WIDGET(d), left, top, &accept.x, &accept.y);
                accept.width = gtk_widget_get_allocated_width(button);
                accept.height = gtk_widget_get_allocated_height(button);
            } else {
                ADD_FAILURE() << "the dialog shows no confirming button";
            }
            PressCancel()(d);
        }});
        EXPECT_FALSE(c.dialog.Execute());
        ASSERT_EQ(DialogsAnswered(), 1);
        EXPECT_EQ(over, GTK_WINDOW(Form1->Window()));
        EXPECT_TRUE(Inside(frame, screen)) << Describe(frame);
        EXPECT_TRUE(Inside(accept, screen)) << "its confirming button lies at " << Describe(accept);
    }
}

// Typed as the user does: Ctrl+L opens the location entry with the text,
// then Return.
Answer TypeLocation(const std::string& startIn, const std::string& typed)
{
    return [startIn, typed](GtkDialog* d) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(d), startIn.c_str());
        EXPECT_TRUE(WaitUntil([&] { return CurrentFolderOf(d) == startIn; }));
        g_signal_emit_by_name(find_widget(GTK_WIDGET(d), GTK_TYPE_FILE_CHOOSER_WIDGET), "location-popup", typed.c_str());
        GtkWidget* entry = gtk_window_get_focus(GTK_WINDOW(d));
        ASSERT_TRUE(GTK_IS_ENTRY(entry));
        EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(entry)), typed);
        gtk_widget_activate(entry);
    };
}

TEST_F(Dialogs, FolderChooserMakesNoFolderAndGivesATypedNameBackAsTyped)
{
    const std::string base = scratch_.string();
    const struct {
        const char* name;
        std::string typed;
        std::string chosen;
    } cases[] = {
        {"a missing folder by its whole path", base + "/newdir", base + "/newdir"},
        {"a missing folder by name, in the folder shown", "newdir", base + "/newdir"},
        {"a missing folder in a missing folder", base + "/a/b", base + "/a/b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool offersNewFolder = true;
        GtkDialog* chooser = nullptr;
        std::string complaint;
        AnswerDialogs({[&](GtkDialog* d) {
                           chooser = d;
                           offersNewFolder = gtk_file_chooser_get_create_folders(GTK_FILE_CHOOSER(d));
                           TypeLocation(base, c.typed)(d);
                       },
                       // A complaint of GTK's own keeps the chooser open: close both.
                       [&](GtkDialog* d) {
                           complaint = MessageOf(d);
                           PressOk()(d);
                           PressCancel()(chooser);
                       }});
        EXPECT_TRUE(Form1->SelectDirectoryDialog1.Execute());
        EXPECT_EQ(DialogsAnswered(), 1) << complaint;
        EXPECT_FALSE(offersNewFolder);
        EXPECT_EQ(Form1->SelectDirectoryDialog1.FileName, c.chosen);
        EXPECT_TRUE(fs::is_empty(scratch_)) << "the chooser made " << fs::directory_iterator(scratch_)->path();
        fs::remove_all(scratch_);
        fs::create_directory(scratch_);
    }
}

TEST_F(Dialogs, BoxCaptionIsTheProgramFileNameItStartedWith)
{
    const fs::path program = os::ExecutablePath();
    const fs::path moved = program.string() + "-moved.bin";
    fs::rename(program, moved);
    struct PutBack {
        fs::path from, to;
        ~PutBack() { fs::rename(from, to); }
    } putBack{moved, program};

    std::string caption;
    AnswerDialogs({[&](GtkDialog* d) {
        caption = gtk_window_get_title(GTK_WINDOW(d));
        PressOk()(d);
    }});
    Click(Form1->Button4);
    ASSERT_EQ(DialogsAnswered(), 1);
    EXPECT_EQ(caption, "window_tests");
}


TEST_F(Dialogs, SaveDialogStartsOnItsLastConfirmedPathWrittenOrNot)
{
    const struct {
        const char* name;
        bool written;
    } cases[] = {
        {"an image never written", false},
        {"an image written", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerDialogs({ChooseFile(scratch_.string(), "my image")});
        ASSERT_TRUE(Form1->SaveDialog1.Execute());
        const fs::path confirmed = scratch_ / "my image.iso";
        ASSERT_EQ(Form1->SaveDialog1.FileName, confirmed.string());
        if (c.written)
            std::ofstream(confirmed) << "image";

        std::string folder, name;
        AnswerDialogs({[&](GtkDialog* d) {
            folder = CurrentFolderOf(d);
            gchar* shown = gtk_file_chooser_get_current_name(GTK_FILE_CHOOSER(d));
            name = shown ? shown : "";
            g_free(shown);
            PressCancel()(d);
        }});
        EXPECT_FALSE(Form1->SaveDialog1.Execute());
        EXPECT_EQ(folder, scratch_.string());
        EXPECT_EQ(name, "my image.iso");
        fs::remove(confirmed);
    }
}

TEST_F(Dialogs, OpenDialogListsEveryImageWhateverBytesItsNameHolds)
{
    const struct {
        std::string name;
        bool listed;
    } cases[] = {
        {"backup.iso", true},
        {"caf\xc3\xa9.iso", true},
        {"img\xe9.iso", true},
        {"\xff.iso", true},
        {"img\xe9.txt", false},
        {"backup.iso.part", false},
        {"notes", false},
    };
    for (const auto& c : cases)
        std::ofstream(scratch_ / c.name) << "image";
    std::vector<std::string> listed, expected;
    AnswerDialogs({[&](GtkDialog* d) {
        GtkFileFilter* filter = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(d));
        ASSERT_NE(filter, nullptr);
        for (const auto& c : cases) {
            // What the chooser knows of each file it lists: its path, and the
            // name the file system gives it for showing.
            const std::string path = (scratch_ / c.name).string();
            GFile* file = g_file_new_for_path(path.c_str());
            GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME,
                                                G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
            ASSERT_NE(info, nullptr) << path;
            const GtkFileFilterInfo seen{
                static_cast<GtkFileFilterFlags>(GTK_FILE_FILTER_FILENAME | GTK_FILE_FILTER_DISPLAY_NAME),
                path.c_str(), nullptr, g_file_info_get_display_name(info), nullptr};
            if (gtk_file_filter_filter(filter, &seen))
                listed.push_back(c.name);
            g_object_unref(info);
            g_object_unref(file);
        }
        PressCancel()(d);
    }});
    EXPECT_FALSE(Form1->OpenDialog1.Execute());
    for (const auto& c : cases)
        if (c.listed)
            expected.push_back(c.name);
    EXPECT_EQ(listed, expected);
}

} // namespace
