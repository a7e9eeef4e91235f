#include "SpeechTruth.h"

#include <nlohmann/json.hpp>

#include "Platform/Foundation/Json.h"

namespace vorela::follow {

std::string SpeechTruth::toJson() const {
    nlohmann::json words_json = nlohmann::json::array();
    for (const Word& w : words) {
        words_json.push_back({{"text", w.text},
                              {"start", w.startSeconds},
                              {"end", w.endSeconds},
                              {"script", w.scriptOffset}});
    }
    const nlohmann::json doc = {{"set", set},
                                {"voice", voice},
                                {"rate", rateWpm},
                                {"pitch", pitch},
                                {"duration", durationSeconds},
                                {"words", words_json}};
    return doc.dump(1) + "\n";
}

std::optional<SpeechTruth> SpeechTruth::fromJson(std::string_view text, std::string& error) {
    const auto doc = Json::parse(text);
    if (!doc || !doc->is_object() || !doc->contains("words") || !(*doc)["words"].is_array()) {
        error = "not a truth document (an object with a \"words\" array)";
        return std::nullopt;
    }
    try {
        SpeechTruth truth;
        truth.set = doc->value("set", "");
        truth.voice = doc->value("voice", "");
        truth.rateWpm = doc->value("rate", 0);
        truth.pitch = doc->value("pitch", 0);
        truth.durationSeconds = doc->value("duration", 0.0);
        for (const auto& w : (*doc)["words"]) {
            truth.words.push_back({w.value("text", ""), w.at("start").get<double>(),
                                   w.at("end").get<double>(), w.at("script").get<long>()});
        }
        return truth;
    } catch (const nlohmann::json::exception& e) {
        error = std::string("malformed word entry: ") + e.what();
        return std::nullopt;
    }
}

}  // namespace vorela::follow
