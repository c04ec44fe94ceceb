// The main window as the user first sees it: every control at its place and
// size, with its text, items and defaults, and keyboard travel in order.

#include <gtest/gtest.h>

#include "support.h"

namespace {

struct Placement {
    const char* name;
    GType (*type)();
    int left, top, width, height;
    const char* text;
};

const Placement kControls[] = {
    {"Label1", gtk_label_get_type, 10, 12, 46, 17, "Device:"},
    {"ComboBox1", gtk_combo_box_text_get_type, 64, 8, 304, 25, "ComboBox1"},
    {"Label2", gtk_label_get_type, 8, 40, 87, 17, "Folder to burn:"},
    {"foldertoburn", gtk_entry_get_type, 96, 40, 336, 23, "/home"},
    {"Button1", gtk_button_get_type, 440, 40, 39, 25, "..."},
    {"CheckGroup1", gtk_frame_get_type, 16, 104, 170, 120, "Option"},
    {"ComboBox2", gtk_combo_box_text_get_type, 208, 72, 168, 25, "Quick erase (clear TOC)"},
    {"Button2", gtk_button_get_type, 388, 72, 91, 25, "Erase CDRW"},
    {"Button3", gtk_button_get_type, 14, 241, 75, 25, "Burn"},
    {"Button4", gtk_button_get_type, 384, 199, 75, 25, "About"},
    {"Button5", gtk_button_get_type, 384, 241, 75, 25, "Close"},
    {"speed", gtk_combo_box_text_get_type, 379, 8, 100, 25, "MAX"},
    {"Button6", gtk_button_get_type, 111, 241, 75, 25, "Make ISO"},
    {"Label3", gtk_label_get_type, 8, 72, 49, 17, "Title"},
    {"title", gtk_entry_get_type, 56, 72, 130, 23, "no name"},
    {"Button7", gtk_button_get_type, 232, 241, 128, 25, "Open ISO and burn"},
    {"ComboBox3", gtk_combo_box_text_get_type, 208, 160, 81, 25, "CD"},
    {"Label4", gtk_label_get_type, 296, 160, 145, 16, "dvd for use dvd_cdrecord"},
    {"edit1", gtk_entry_get_type, 208, 117, 152, 23, "/dev/cdrom"},
    {"Button8", gtk_button_get_type, 366, 117, 107, 25, "Format DVDRW"},
    {"CheckBox1", gtk_check_button_get_type, 197, 203, 163, 23, "Cdrtools in current folder"},
};

std::string TextOf(GtkWidget* w)
{
    if (GTK_IS_COMBO_BOX(w))
        return gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(w))));
    if (GTK_IS_ENTRY(w))
        return gtk_entry_get_text(GTK_ENTRY(w));
    if (GTK_IS_LABEL(w))
        return gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_FRAME(w))
        return gtk_frame_get_label(GTK_FRAME(w));
    return gtk_button_get_label(GTK_BUTTON(w));
}

std::vector<std::string> ItemsOf(const ui::TComboBox& combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < combo.Items.Count(); ++i)
        items.push_back(combo.Items[i]);
    return items;
}

using Layout = StartedWindow;

TEST_F(Layout, EveryControlTakesItsPlaceSizeAndText)
{
    GtkWidget* client = gtk_bin_get_child(GTK_BIN(Form1->Window()));
    for (const Placement& p : kControls) {
        SCOPED_TRACE(p.name);
        GtkWidget* w = GTK_WIDGET(Form1->Component(p.name));
        EXPECT_EQ(G_OBJECT_TYPE(w), p.type());
        int x = -1, y = -1;
        gtk_widget_translate_coordinates(w, client, 0, 0, &x, &y);
        GtkAllocation a;
        gtk_widget_get_allocation(w, &a);
        EXPECT_EQ(x, p.left);
        EXPECT_EQ(y, p.top);
        EXPECT_EQ(a.width, p.width);
        EXPECT_EQ(a.height, p.height);
        EXPECT_EQ(TextOf(w), p.text);
    }
}

TEST_F(Layout, WindowOpensAtItsPlaceWithItsInnerSizeAndCaption)
{
    GtkWindow* window = GTK_WINDOW(Form1->Window());
    int x = 0, y = 0, w = 0, h = 0;
    gdk_window_get_origin(gtk_widget_get_window(Form1->Window()), &x, &y);
    gtk_window_get_size(window, &w, &h);
    EXPECT_EQ(x, 299);
    EXPECT_EQ(y, 216);
    EXPECT_EQ(w, 496);
    EXPECT_EQ(h, 291);
    EXPECT_EQ(std::string(gtk_window_get_title(window)).rfind("Tarvelin 0.13", 0), 0u);
    EXPECT_TRUE(gtk_window_get_resizable(window));
}

TEST_F(Layout, ListsHoldTheirItemsAndOptionsStartUnticked)
{
    TForm1& f = *Form1;
    EXPECT_EQ(ItemsOf(f.ComboBox2),
              (std::vector<std::string>{"Quick erase (clear TOC)", "Full erase (entire CD)", "Force Quick erase",
                                        "Force normal erase", "Blank a track", "Unreserve a reserved track",
                                        "Blank a tail of a track", "Unclose last session", "Blank the last session"}));
    EXPECT_EQ(ItemsOf(f.speed), (std::vector<std::string>{"MAX", "1", "2", "4", "8", "16", "32", "40"}));
    EXPECT_EQ(ItemsOf(f.ComboBox3), (std::vector<std::string>{"CD", "DVD"}));
    EXPECT_EQ(f.ComboBox2.ItemIndex(), 0);
    EXPECT_EQ(f.ComboBox3.ItemIndex(), 0);

    const char* options[] = {"Long-Joliet", "ISO-Level 4", "Deactived folder deep", "Burnproof"};
    ASSERT_EQ(f.CheckGroup1.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        GtkWidget* item = GTK_WIDGET(f.Component("CheckGroup1." + std::to_string(i)));
        EXPECT_EQ(gtk_button_get_label(GTK_BUTTON(item)), std::string(options[i]));
        EXPECT_TRUE(gtk_widget_is_ancestor(item, f.CheckGroup1.Widget()));
    }
    EXPECT_FALSE(f.CheckGroup1.Checked(0) || f.CheckGroup1.Checked(1) || f.CheckGroup1.Checked(2));
    EXPECT_FALSE(f.CheckBox1.Checked());
}

TEST_F(Layout, DropDownListsTakeNoTypingWhileTheOthersDo)
{
    auto editable = [](const ui::TComboBox& c) {
        return gtk_editable_get_editable(GTK_EDITABLE(gtk_bin_get_child(GTK_BIN(c.Widget()))));
    };
    EXPECT_FALSE(editable(Form1->ComboBox1));
    EXPECT_FALSE(editable(Form1->ComboBox2));
    EXPECT_TRUE(editable(Form1->speed));
    EXPECT_TRUE(editable(Form1->ComboBox3));
}

TEST_F(Layout, TabTravelsInTabOrderAndBackAgain)
{
    const std::vector<std::string> order = {
        "ComboBox1", "foldertoburn", "Button1", "CheckGroup1.0", "CheckGroup1.1", "CheckGroup1.2",
        "CheckGroup1.3", "ComboBox2", "Button2", "Button3", "Button4", "Button5", "speed", "Button6",
        "title", "Button7", "ComboBox3", "edit1", "Button8", "CheckBox1", "ComboBox1"};
    auto press = [](guint key, GdkModifierType state) {
        GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(Form1->Window())));
        event->key.keyval = key;
        event->key.state = state;
        gtk_widget_event(Form1->Window(), event);
        gdk_event_free(event);
    };
    auto focused = [&order] {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(Form1->Window()));
        for (GtkWidget* w = focus; w; w = gtk_widget_get_parent(w))
            if (const char* id = gtk_buildable_get_name(GTK_BUILDABLE(w));
                id && std::find(order.begin(), order.end(), id) != order.end())
                return std::string(id);
        return std::string();
    };
    gtk_widget_grab_focus(Form1->ComboBox1.Widget());
    for (std::size_t i = 1; i < order.size(); ++i) {
        press(GDK_KEY_Tab, GdkModifierType(0));
        EXPECT_EQ(focused(), order[i]) << "after " << i << " Tab presses";
    }
    for (std::size_t i = order.size() - 1; i-- > 0;) {
        press(GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
        EXPECT_EQ(focused(), order[i]) << "going back";
    }
}

TEST_F(Layout, ComboBoxItemIndexFoldsAsciiCaseAndTrimsNothing)
{
    const struct {
        const char* text;
        int index;
    } cases[] = {
        {"CD", 0}, {"cd", 0}, {"Cd", 0}, {"cD", 0}, {"DVD", 1}, {"dvd", 1}, {"Dvd", 1},
        {"", -1}, {"DVD ", -1}, {" CD", -1}, {"DVD-R", -1}, {"DVD+RW", -1}, {"CD-R", -1},
    };
    for (const auto& c : cases) {
        Form1->ComboBox3.SetText(c.text);
        EXPECT_EQ(Form1->ComboBox3.ItemIndex(), c.index) << "[" << c.text << "]";
    }
}

TEST_F(Layout, PickingAnItemShowsIt)
{
    Form1->ComboBox2.SetItemIndex(8);
    EXPECT_EQ(Form1->ComboBox2.Text(), "Blank the last session");
    EXPECT_EQ(Form1->ComboBox2.ItemIndex(), 8);
    Form1->ComboBox2.SetItemIndex(9);
    EXPECT_EQ(Form1->ComboBox2.ItemIndex(), 8) << "a position past the list changes nothing";
}

} // namespace
