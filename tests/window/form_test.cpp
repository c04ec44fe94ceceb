// The window and the builder that made it go with their form: when it is
// replaced, and when its creation fails at any step.

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "support.h"
#include "ui/application.h"

namespace {

GtkWidget* watchedWindow = nullptr;
GtkBuilder* watchedBuilder = nullptr;

// Each pointer turns null when its object goes.
void Watch(const ui::TForm& form)
{
    watchedWindow = form.Window();
    watchedBuilder = form.Builder();
    g_object_add_weak_pointer(G_OBJECT(watchedWindow), reinterpret_cast<gpointer*>(&watchedWindow));
    g_object_add_weak_pointer(G_OBJECT(watchedBuilder), reinterpret_cast<gpointer*>(&watchedBuilder));
}

// TForm1's handlers for a form class made from it, with its own creation handler.
template <class F>
std::vector<ui::HandlerName<F>> HandlersFor(void (F::*create)(ui::TObject*))
{
    std::vector<ui::HandlerName<F>> handlers;
    for (const ui::HandlerName<TForm1>& h : TForm1::Handlers)
        handlers.push_back({h.name, h.name == "Form1Create" ? create : static_cast<void (F::*)(ui::TObject*)>(h.method)});
    return handlers;
}

// Watched while its creation handler runs.
class TWatchedForm : public TForm1 {
public:
    using TForm1::TForm1;
    void WatchedCreate(ui::TObject* sender)
    {
        Watch(*this);
        Form1Create(sender);
    }
    static inline const auto Handlers = HandlersFor(&TWatchedForm::WatchedCreate);
};

// Watched once its base is built, then one of its controls is not in the layout.
class TFormMissingAControl : public TForm1 {
public:
    using TForm1::TForm1;
    struct Watcher {
        explicit Watcher(const ui::TForm& form) { Watch(form); }
    } watcher{*this};
    ui::TButton missing{*this, "NoSuchControl"};
    static inline const auto Handlers = HandlersFor<TFormMissingAControl>(&TForm1::Form1Create);
};

int FormWindows()
{
    GList* windows = gtk_window_list_toplevels();
    int count = 0;
    for (GList* w = windows; w; w = w->next)
        count += std::string(G_OBJECT_TYPE_NAME(w->data)) == "TForm";
    g_list_free(windows);
    return count;
}

class FormLifetime : public testing::Test {
protected:
    void SetUp() override
    {
        recorder_.Answer("STANDIN_PRCAP", "");
        watchedWindow = nullptr;
        watchedBuilder = nullptr;
    }
    void TearDown() override { fs::remove(driveList_); }

    Recorder recorder_;
    const fs::path driveList_ = ProgramDir() / "device.config";
};

TEST_F(FormLifetime, WindowAndBuilderGoWithTheForm)
{
    Watch(StartForm());
    ASSERT_NE(watchedWindow, nullptr);
    StartForm();
    EXPECT_EQ(watchedWindow, nullptr);
    EXPECT_EQ(watchedBuilder, nullptr);
}

TEST_F(FormLifetime, FailedCreationLeavesNeitherWindowNorBuilder)
{
    const struct {
        const char* name;
        std::function<void()> create;
    } cases[] = {
        {"the creation handler fails",
         [this] {
             // A folder of that name: opening it works, reading it fails.
             fs::create_directory(driveList_);
             TWatchedForm* form = nullptr;
             EXPECT_THROW(ui::Application.CreateForm(form), std::exception);
             EXPECT_EQ(form, nullptr);
             fs::remove(driveList_);
         }},
        {"a control is not in the layout",
         [] {
             TFormMissingAControl* form = nullptr;
             EXPECT_THROW(ui::Application.CreateForm(form), std::exception);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        watchedWindow = nullptr;
        watchedBuilder = nullptr;
        c.create();
        EXPECT_EQ(watchedWindow, nullptr);
        EXPECT_EQ(watchedBuilder, nullptr);
    }
}

TEST_F(FormLifetime, LayoutNamingAMissingControlLeavesNoWindowBehind)
{
    StartForm();
    const int before = FormWindows();
    constexpr std::array<std::string_view, 2> kTabOrder{"ComboBox1", "NoSuchControl"};
    const ui::FormLayout layout{299, 216, kTabOrder, {}};
    EXPECT_THROW(ui::TForm("TForm1", layout), std::exception);
    EXPECT_EQ(FormWindows(), before);
}

} // namespace
