#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "Platform/Speech/Linux/LoadRequestBuilder.h"
#include "Platform/Speech/SpeechScript.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

class LoadRequestBuilderTest : public ::testing::Test {
protected:
    LoadRequestBuilderTest() {
        fs::create_directories(model_);
        std::ofstream(model_ / "mdef") << "";
        writeLexicon("vorela V OW1 R EH1 L AH0\n");
    }
    ~LoadRequestBuilderTest() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void writeLexicon(const std::string& text) const {
        std::ofstream(model_ / "lexicon.txt", std::ios::trunc) << text;
    }

    static fs::path makeFolder() {
        char pattern[] = "/tmp/vorela-load-request-XXXXXX";
        return mkdtemp(pattern);
    }

    fs::path folder_ = makeFolder();
    fs::path model_ = folder_ / "models" / "en-US";
    LoadRequestBuilder builder_{SpeechModelLocator({folder_ / "models", {}, {}, {}}), 0.5,
                                "-lw 10"};
    std::shared_ptr<const SpeechScript> script_ =
        std::make_shared<const SpeechScript>(SpeechScript{"en-US", {{"vorela", "vorela", {}}}});
};

TEST_F(LoadRequestBuilderTest, TheScriptIsSpelledFromTheModelsLexiconReadOnce) {
    const auto first = builder_.build("en-US", script_);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->modelFolder, model_.string());
    EXPECT_EQ(first->options, "-lw 10");
    EXPECT_NE(first->dictionary.find("vorela V OW R EH L AH\n"), std::string::npos)
        << first->dictionary;
    EXPECT_NE(first->arpa.find("vorela"), std::string::npos);

    // Read again it would spell the word otherwise: the kept lexicon is used.
    writeLexicon("vorela B AA B AA\n");
    const auto second = builder_.build("en-US", script_);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->dictionary, first->dictionary);
}

TEST_F(LoadRequestBuilderTest, ALanguageWithoutAModelOnDiskAsksForNothing) {
    EXPECT_FALSE(builder_.build("es-ES", script_));  // no user model, no shipped one
    EXPECT_FALSE(builder_.build("fr-FR", script_));
    const auto phoneLoopOnly = builder_.build("en-US", nullptr);
    ASSERT_TRUE(phoneLoopOnly);
    EXPECT_EQ(phoneLoopOnly->dictionary.find("vorela"), std::string::npos);
}

}  // namespace
}  // namespace vorela
