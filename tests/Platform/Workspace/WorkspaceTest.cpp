#include <gtest/gtest.h>

#include "Platform/Workspace/Workspace.h"

namespace vorela {
namespace {

// The opener gets the link as its one argument: anything that is not a plain URL of a
// scheme this desktop can have, or that names another system's settings, stays unopened.
TEST(WorkspaceTest, OpensOnlyUrlsOfAScheme) {
    struct Case {
        const char* name;
        const char* url;
        bool isOpenable;
    };
    const Case cases[] = {
        {"web page", "https://vorela.app/privacidad", true},
        {"e-mail", "mailto:hola@vorela.app", true},
        {"scheme with plus and dot", "git+ssh.x://host", true},
        {"macOS settings page",
         "x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone", false},
        {"option-like text", "--help=x:y", false},
        {"no scheme", "vorela.app/privacidad", false},
        {"empty scheme", ":nothing", false},
        {"scheme starting with a digit", "1http://x", false},
        {"space in the scheme", "ht tp://x", false},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Workspace::isOpenable(c.url), c.isOpenable);
    }
}

}  // namespace
}  // namespace vorela
