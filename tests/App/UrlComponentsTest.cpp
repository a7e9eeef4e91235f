#include <gtest/gtest.h>

#include "App/UrlComponents.h"

namespace vorela {
namespace {

using Items = std::vector<UrlQueryItem>;

TEST(UrlComponentsTest, SplitsSchemeHostAndQueryItemsAndDecodesStrictly) {
    struct Case {
        const char* name;
        const char* url;
        std::optional<std::string> host;
        Items items;
    };
    const Case cases[] = {
        {"text and title",
         "prompter://read?text=Hola%20mundo&title=Prueba",
         "read",
         {{"text", "Hola mundo"}, {"title", "Prueba"}}},
        {"plus stays plus", "prompter://read?text=1+1%2B1", "read", {{"text", "1+1+1"}}},
        {"no value versus empty value",
         "prompter://read?text&title=",
         "read",
         {{"text", std::nullopt}, {"title", ""}}},
        {"UTF-8 escapes", "prompter://read?text=Espa%C3%B1a", "read", {{"text", "España"}}},
        {"equals inside a value", "prompter://read?text=a=b", "read", {{"text", "a=b"}}},
        {"repeated items keep their order",
         "prompter://read?text=1&text=2",
         "read",
         {{"text", "1"}, {"text", "2"}}},
        {"fragment dropped, empty pairs skipped", "prompter://play?&&#x", "play", {}},
        {"host keeps its case", "prompter://Read", "Read", {}},
        {"no authority, no host", "prompter:read?text=x", std::nullopt, {{"text", "x"}}},
        {"empty authority, no host", "prompter:///read", std::nullopt, {}},
        {"user and port around the host", "prompter://u@play:80/x", "play", {}},
        // A link's text could carry a right-to-left override or a bell percent-encoded,
        // which reordered or hid what the panel showed; controls never belong in it.
        {"escaped controls and invisible marks dropped from values",
         "prompter://read?text=a%E2%80%AEb%07c%E2%80%8Bd%0Ae%09f&title=%EF%BB%BFT",
         "read",
         {{"text", "abcd\ne\tf"}, {"title", "T"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = UrlComponents::parse(c.url);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->scheme, "prompter");
        EXPECT_EQ(parts->host, c.host);
        EXPECT_EQ(parts->queryItems, c.items);
    }
}

TEST(UrlComponentsTest, MalformedUrlsAreRefusedWhole) {
    const std::pair<const char*, const char*> cases[] = {
        {"escape cut short", "prompter://read?text=50%"},
        {"escape with one digit", "prompter://read?text=%4"},
        {"escape not hexadecimal", "prompter://read?text=%G1"},
        {"escape makes invalid UTF-8", "prompter://read?text=%C3"},
        {"raw space", "prompter://read?text=a b"},
        {"raw newline", "prompter://read?text=a\nb"},
        {"no scheme", "//read?text=a"},
        {"scheme starting with a digit", "1prompter://read"},
        {"empty", ""},
    };
    for (const auto& [name, url] : cases) {
        SCOPED_TRACE(name);
        std::string why;
        EXPECT_FALSE(UrlComponents::parse(url, &why));
        EXPECT_FALSE(why.empty());
    }
}

TEST(UrlComponentsTest, SchemeIsCaseInsensitiveAndFirstItemFindsTheFirst) {
    const auto parts = UrlComponents::parse("PROMPTER://read?title=a&text=b&title=c");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, "prompter");
    ASSERT_NE(parts->firstItem("title"), nullptr);
    EXPECT_EQ(parts->firstItem("title")->value, "a");
    EXPECT_EQ(parts->firstItem("missing"), nullptr);
}

}  // namespace
}  // namespace vorela
