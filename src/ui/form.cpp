#include "ui/form.h"

#include <gtk/gtk.h>

#include "ui/application.h"
#include "ui/errors.h"

namespace ui {

namespace {

constexpr std::string_view kLayoutFolder = "/tarvelin/forms/";

// The layout's window class: a plain GtkWindow that carries a "create"
// signal, so the layout can name the window's creation handler like any other.
GType FormWindowType()
{
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_WINDOW, "TForm", sizeof(GtkWindowClass),
        [](gpointer klass, gpointer) {
            g_signal_new("create", G_TYPE_FROM_CLASS(klass), G_SIGNAL_RUN_LAST, 0, nullptr, nullptr,
                         nullptr, G_TYPE_NONE, 0);
        },
        sizeof(GtkWindow), nullptr, GTypeFlags(0));
    return type;
}

TObject* SenderOf(GObject* object)
{
    return static_cast<TObject*>(g_object_get_data(object, "TObject"));
}

void Dispatch(GObject* sender, gpointer handler)
{
    Application.Guard([&] { (*static_cast<TForm::Handler*>(handler))(SenderOf(sender)); });
}

void ForgetHandler(gpointer handler, GClosure*)
{
    delete static_cast<TForm::Handler*>(handler);
}

} // namespace

// The toolkit calls these; none of them lets an exception through.
struct FormSignals {
    struct Binding {
        TForm* form;
        const TForm::Handlers* handlers;
        std::string unknown;
    };

    static void Connect(GtkBuilder*, GObject* object, const gchar* signal, const gchar* handlerName,
                        GObject*, GConnectFlags, gpointer data) noexcept
    {
        auto& binding = *static_cast<Binding*>(data);
        auto handler = binding.handlers->find(std::string_view(handlerName));
        const std::string_view event(signal);
        if (handler == binding.handlers->end()) {
            binding.unknown = handlerName;
        } else if (event == "create" && object == G_OBJECT(binding.form->Window())) {
            binding.form->onCreate_ = handler->second;
        } else if (event == "clicked") {
            g_signal_connect_data(object, signal, G_CALLBACK(Dispatch), new TForm::Handler(handler->second),
                                  ForgetHandler, GConnectFlags(0));
        } else {
            binding.unknown = std::string(event) + " " + handlerName;
        }
    }

    static gboolean DeleteEvent(GtkWidget*, GdkEvent*, gpointer form) noexcept
    {
        Application.Guard([&] { static_cast<TForm*>(form)->Close(); });
        return TRUE;
    }

    static gboolean KeyPress(GtkWidget*, GdkEventKey* event, gpointer form) noexcept
    {
        const bool ctrlOrAlt = event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK);
        if (ctrlOrAlt || (event->keyval != GDK_KEY_Tab && event->keyval != GDK_KEY_ISO_Left_Tab))
            return FALSE;
        const bool back = event->keyval == GDK_KEY_ISO_Left_Tab || (event->state & GDK_SHIFT_MASK);
        Application.Guard([&] { static_cast<TForm*>(form)->MoveFocus(!back); });
        return TRUE;
    }
};

void TForm::ReleaseBuilder::operator()(GtkBuilder* builder) const
{
    g_object_unref(builder);
}

void TForm::DestroyWindow::operator()(GtkWidget* window) const
{
    gtk_widget_destroy(window);
}

TForm::TForm(std::string_view className, const FormLayout& layout)
    : className_(className), layout_(layout), builder_(gtk_builder_new())
{
    FormWindowType();
    GError* error = nullptr;
    const std::string resource = std::string(kLayoutFolder).append(className);
    if (!gtk_builder_add_from_resource(builder_.get(), resource.c_str(), &error)) {
        std::string message = error->message;
        g_error_free(error);
        throw EComponentError("Cannot load the layout of " + className_ + ": " + message);
    }
    GSList* objects = gtk_builder_get_objects(builder_.get());
    for (GSList* o = objects; o; o = o->next)
        if (G_TYPE_CHECK_INSTANCE_TYPE(o->data, FormWindowType()))
            window_.reset(GTK_WIDGET(o->data));
    g_slist_free(objects);
    if (!window_)
        throw EComponentError("The layout of " + className_ + " holds no window");
    g_object_set_data(G_OBJECT(Window()), "TObject", static_cast<TObject*>(this));

    for (std::string_view name : layout_.tabOrder)
        tabOrder_.push_back(GTK_WIDGET(Component(name)));

    g_signal_connect(Window(), "delete-event", G_CALLBACK(FormSignals::DeleteEvent), this);
    g_signal_connect(Window(), "key-press-event", G_CALLBACK(FormSignals::KeyPress), this);
}

TForm::~TForm() = default;

void TForm::BindHandlers(const Handlers& handlers)
{
    FormSignals::Binding binding{this, &handlers, {}};
    gtk_builder_connect_signals_full(builder_.get(), FormSignals::Connect, &binding);
    if (!binding.unknown.empty())
        throw EComponentError("The layout of " + className_ + " names an unknown handler: " + binding.unknown);
}

void TForm::Create()
{
    if (onCreate_)
        onCreate_(this);
}

void TForm::Show()
{
    gtk_window_move(GTK_WINDOW(Window()), layout_.left, layout_.top);
    gtk_widget_show_all(Window());
}

void TForm::Close()
{
    if (Application.MainForm() == this)
        Application.Terminate();
    else
        gtk_widget_hide(Window());
}

GObject* TForm::FindComponent(std::string_view name) const
{
    return gtk_builder_get_object(builder_.get(), std::string(name).c_str());
}

GObject* TForm::Component(std::string_view name) const
{
    GObject* object = FindComponent(name);
    if (!object)
        throw EComponentError("The layout of " + className_ + " has no " + std::string(name));
    return object;
}

const DialogLayout& TForm::LayoutOfDialog(std::string_view name) const
{
    for (const DialogLayout& dialog : layout_.dialogs)
        if (dialog.name == name)
            return dialog;
    throw EComponentError("No dialog " + std::string(name) + " in " + className_);
}

void TForm::MoveFocus(bool forward)
{
    const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
    if (count == 0)
        return;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(Window()));
    std::ptrdiff_t at = -1;
    for (std::ptrdiff_t i = 0; i < count && at < 0; ++i)
        if (focus && (focus == tabOrder_[i] || gtk_widget_is_ancestor(focus, tabOrder_[i])))
            at = i;
    std::ptrdiff_t next = at < 0 ? (forward ? 0 : count - 1) : (at + (forward ? 1 : count - 1)) % count;
    GtkWidget* target = tabOrder_[next];
    // A combo box with an entry is typed into, not its arrow.
    if (GTK_IS_COMBO_BOX(target) && gtk_combo_box_get_has_entry(GTK_COMBO_BOX(target)))
        target = gtk_bin_get_child(GTK_BIN(target));
    gtk_widget_grab_focus(target);
}

} // namespace ui
