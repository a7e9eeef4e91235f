#pragma once

#include <string>
#include <string_view>

namespace vorela {

// Hands URLs to the desktop: web pages, e-mail addresses, settings pages. Main thread only.
class Workspace {
public:
    virtual ~Workspace() = default;
    // False when nothing on this desktop opens the URL (a macOS settings page, say) or the
    // opener could not be started; the refusal is logged.
    virtual bool open(const std::string& url) = 0;

    // Settings pages of another system ("x-apple.systempreferences:…") have no Linux
    // counterpart, and a URL without a scheme is not ours to guess.
    static bool isOpenable(std::string_view url);
};

}  // namespace vorela
