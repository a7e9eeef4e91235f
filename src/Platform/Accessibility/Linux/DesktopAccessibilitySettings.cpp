#include "Platform/Accessibility/Linux/DesktopAccessibilitySettings.h"

#include <dlfcn.h>

namespace vorela {

namespace {
constexpr const char* kSchema = "org.gnome.desktop.interface";
constexpr const char* kKey = "enable-animations";
}  // namespace

// The few GIO entry points used, resolved by name. GIO's types stay opaque here.
struct DesktopAccessibilitySettings::Gio {
    using SourceGetDefault = void* (*)();
    using SourceLookup = void* (*)(void*, const char*, int);
    using SchemaHasKey = int (*)(void*, const char*);
    using SchemaUnref = void (*)(void*);
    using SettingsNew = void* (*)(const char*);
    using GetBoolean = int (*)(void*, const char*);
    using ObjectUnref = void (*)(void*);

    void* library = nullptr;
    void* settings = nullptr;
    GetBoolean getBoolean = nullptr;
    ObjectUnref objectUnref = nullptr;

    ~Gio() {
        if (settings && objectUnref) objectUnref(settings);
        if (library) dlclose(library);
    }
};

DesktopAccessibilitySettings::DesktopAccessibilitySettings() {
    auto gio = std::make_unique<Gio>();
    gio->library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!gio->library) return;
    const auto symbol = [&gio](const char* name) { return dlsym(gio->library, name); };
    auto sourceGetDefault =
        reinterpret_cast<Gio::SourceGetDefault>(symbol("g_settings_schema_source_get_default"));
    auto sourceLookup =
        reinterpret_cast<Gio::SourceLookup>(symbol("g_settings_schema_source_lookup"));
    auto hasKey = reinterpret_cast<Gio::SchemaHasKey>(symbol("g_settings_schema_has_key"));
    auto schemaUnref = reinterpret_cast<Gio::SchemaUnref>(symbol("g_settings_schema_unref"));
    auto settingsNew = reinterpret_cast<Gio::SettingsNew>(symbol("g_settings_new"));
    gio->getBoolean = reinterpret_cast<Gio::GetBoolean>(symbol("g_settings_get_boolean"));
    gio->objectUnref = reinterpret_cast<Gio::ObjectUnref>(symbol("g_object_unref"));
    if (!sourceGetDefault || !sourceLookup || !hasKey || !schemaUnref || !settingsNew ||
        !gio->getBoolean || !gio->objectUnref) {
        return;
    }
    // g_settings_new aborts the process for an unknown schema: look it up first.
    void* source = sourceGetDefault();
    if (!source) return;
    void* schema = sourceLookup(source, kSchema, 1);
    if (!schema) return;
    const bool hasAnimationKey = hasKey(schema, kKey) != 0;
    schemaUnref(schema);
    if (!hasAnimationKey) return;
    gio->settings = settingsNew(kSchema);
    if (!gio->settings) return;
    gio_ = std::move(gio);
}

DesktopAccessibilitySettings::~DesktopAccessibilitySettings() = default;

bool DesktopAccessibilitySettings::reduceMotion() const {
    if (!gio_) return false;
    // A read goes through GVariant and dconf, about 25 us: asked every frame of a scroll
    // it was several percent of the program's CPU. A second old is fresh enough for a
    // switch the user flips in the desktop's settings.
    const auto now = std::chrono::steady_clock::now();
    if (!readAt_ || now - *readAt_ >= kRereadAfter) {
        reduceMotion_ = gio_->getBoolean(gio_->settings, kKey) == 0;
        readAt_ = now;
    }
    return reduceMotion_;
}

}  // namespace vorela
