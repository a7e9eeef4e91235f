#include "EspeakReader.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>

#include "Platform/Foundation/Utf8.h"

namespace vorela::follow {

namespace {

struct Event {
    int type = 0;
    int textPosition = 0;  // 1-based, in code points
    int length = 0;
    long sample = 0;
    bool isPause = false;  // a pause phoneme ("_", "_:", ...)
};

struct Collector {
    std::vector<std::int16_t> samples;
    std::vector<Event> events;
};

int collect(short* wav, int count, espeak_EVENT* events) {
    auto* collector = static_cast<Collector*>(events->user_data);
    if (wav && count > 0) collector->samples.insert(collector->samples.end(), wav, wav + count);
    for (espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        const bool isPause = e->type == espeakEVENT_PHONEME && e->id.string[0] == '_';
        collector->events.push_back({e->type, e->text_position, e->length, e->sample, isPause});
    }
    return 0;
}

int initialise() {
    static const int sampleRate = [] {
        const int rate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr,
                              espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        if (rate > 0) espeak_SetSynthCallback(collect);
        return rate;
    }();
    return sampleRate;
}

std::size_t codePointCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) unicode::nextCodePoint(text, i);
    return count;
}

}  // namespace

std::optional<EspeakReader::Reading> EspeakReader::read(
    const std::vector<ReadingPlan::SpokenWord>& words, const Voice& voice, double leadInSeconds,
    std::string& error) {
    const int rate = initialise();
    if (rate <= 0) {
        error = "espeak-ng did not initialise (is espeak-ng-data installed?)";
        return std::nullopt;
    }
    if (espeak_SetVoiceByName(voice.name.c_str()) != EE_OK) {
        error = "espeak-ng has no voice \"" + voice.name + "\"";
        return std::nullopt;
    }
    espeak_SetParameter(espeakRATE, voice.rateWpm, 0);
    espeak_SetParameter(espeakPITCH, voice.pitch, 0);

    // Each spoken word's first code point in the joined text, to place the word events.
    std::string text;
    std::vector<std::size_t> firstCodePoint;
    std::size_t codePoints = 0;
    for (const auto& w : words) {
        if (!text.empty()) {
            text += ' ';
            ++codePoints;
        }
        firstCodePoint.push_back(codePoints);
        text += w.text;
        codePoints += codePointCount(w.text);
    }

    Collector collector;
    if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     &collector) != EE_OK ||
        espeak_Synchronize() != EE_OK) {
        error = "espeak-ng failed to synthesise the text";
        return std::nullopt;
    }

    const long leadIn = std::lround(leadInSeconds * rate);
    Reading reading;
    reading.sampleRate = rate;
    reading.samples.assign(static_cast<std::size_t>(leadIn), 0);
    reading.samples.insert(reading.samples.end(), collector.samples.begin(),
                           collector.samples.end());
    const auto seconds = [&](long sample) { return static_cast<double>(sample + leadIn) / rate; };

    // A word starts at its first word event (a number may bring several, one per word read
    // aloud); it ends where the next timed word starts, or earlier at a pause, so the silence
    // after a sentence or a comma is not counted as speech.
    std::vector<long> startSample(words.size(), -1);
    std::vector<long> pauses;
    for (const Event& e : collector.events) {
        if (e.isPause) pauses.push_back(e.sample);
        if (e.type != espeakEVENT_WORD || e.length <= 0) continue;
        const auto at = std::upper_bound(firstCodePoint.begin(), firstCodePoint.end(),
                                         static_cast<std::size_t>(e.textPosition - 1));
        if (at == firstCodePoint.begin()) continue;
        const std::size_t k = static_cast<std::size_t>(at - firstCodePoint.begin()) - 1;
        if (startSample[k] < 0) startSample[k] = e.sample;
    }
    const long total = static_cast<long>(collector.samples.size());
    for (std::size_t k = 0; k < words.size(); ++k) {
        if (startSample[k] < 0) {
            ++reading.untimedWords;
            continue;
        }
        long end = total;
        for (std::size_t j = k + 1; j < words.size(); ++j) {
            if (startSample[j] >= 0) {
                end = startSample[j];
                break;
            }
        }
        for (long c : pauses) {
            if (c > startSample[k] && c < end) {
                end = c;
                break;
            }
        }
        reading.words.push_back(
            {words[k].text, seconds(startSample[k]), seconds(end), words[k].scriptOffset});
    }
    return reading;
}

}  // namespace vorela::follow
