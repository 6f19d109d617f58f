#include "platform/GioApplications.h"

// GLib names a struct member `signals`, which Qt's headers define as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <memory>
#include <set>

namespace xcr {

namespace {

// Owns one reference GIO handed out.
struct GioObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using GioAppPtr = std::unique_ptr<GAppInfo, GioObjectUnref>;

// Adds `app` to `out` unless the desktop hides it or it is there already.
void addGioApp(GAppInfo* app, std::vector<DesktopApplication>& out, std::set<std::string>& seen) {
    if (app == nullptr || !g_app_info_should_show(app)) {
        return;
    }
    const char* id = g_app_info_get_id(app);
    if (id == nullptr || !seen.insert(id).second) {
        return;
    }
    const char* name = g_app_info_get_display_name(app);
    out.push_back({id, QString::fromUtf8(name != nullptr ? name : id)});
}

}  // namespace

std::vector<DesktopApplication> GioApplications::forFile(const std::string& path) {
    // By the name alone: the file may not be written yet, and its bytes would only be a
    // second opinion on a name the program chose.
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(path.c_str(), nullptr, 0, &uncertain);
    std::vector<DesktopApplication> found;
    std::set<std::string> seen;
    const GioAppPtr preferred(g_app_info_get_default_for_type(type, FALSE));
    addGioApp(preferred.get(), found, seen);
    GList* all = g_app_info_get_all_for_type(type);
    for (GList* item = all; item != nullptr; item = item->next) {
        addGioApp(static_cast<GAppInfo*>(item->data), found, seen);
    }
    g_list_free_full(all, g_object_unref);
    g_free(type);
    return found;
}

std::string GioApplications::launch(const std::string& id, const std::string& path) {
    const GioAppPtr app(G_APP_INFO(g_desktop_app_info_new(id.c_str())));
    if (app == nullptr) {
        return "no application " + id + " is installed";
    }
    // The path's bytes as they are: a name that is not UTF-8 still reaches the file.
    GFile* file = g_file_new_for_path(path.c_str());
    GList* files = g_list_append(nullptr, file);
    GError* error = nullptr;
    const bool started = g_app_info_launch(app.get(), files, nullptr, &error);
    g_list_free(files);
    g_object_unref(file);
    if (started) {
        return {};
    }
    std::string why = error != nullptr && error->message != nullptr
                          ? error->message
                          : "the desktop could not start " + id;
    if (error != nullptr) {
        g_error_free(error);
    }
    return why;
}

}  // namespace xcr
