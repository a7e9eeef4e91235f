// vorela-decoder: the speech decoder in a process of its own. The library can abort on an
// internal assertion; here that ends only this process, which the application restarts.
// Reads messages on standard input and answers on standard output (one stream socket).

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/Speech/Linux/DecoderProtocol.h"
#include "Platform/Speech/Linux/UtteranceBoundary.h"

using namespace vorela::decoder;

namespace {

constexpr int kIn = 0;
constexpr int kOut = 1;

// The library's last error line, and whether a model is being loaded: the library ends
// the process on a model it cannot read, and the application is told why on the way out.
std::string lastLibraryError;
bool isLoading = false;
std::string loadingFolder;

void keepLibraryErrors(void*, err_lvl_t level, const char* fmt, ...) {
    if (level != ERR_ERROR && level != ERR_FATAL) return;
    char line[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    std::string text;
    for (const char* c = line; *c; ++c) {
        const char shown = *c == '\n' ? ' ' : *c;
        if (shown != ' ' || (!text.empty() && text.back() != ' ')) text += shown;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (!text.empty()) lastLibraryError = text;
}

std::string modelFailure() {
    std::string reason = "el modelo acústico de " + loadingFolder + " no se pudo cargar";
    if (!lastLibraryError.empty()) reason += " (" + lastLibraryError + ")";
    return reason;
}

void reportFailedLoad() {
    if (isLoading) writeMessage(kOut, encodeError(modelFailure()));
}

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

std::string temporaryFile(const std::string& text, const char* suffix) {
    const char* dir = getenv("TMPDIR");
    std::string path =
        std::string(dir && dir[0] ? dir : "/tmp") + "/vorela-decoder-XXXXXX" + suffix;
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    const int fd = mkstemps(name.data(), static_cast<int>(strlen(suffix)));
    if (fd < 0) return {};
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!ok) {
        unlink(name.data());
        return {};
    }
    return name.data();
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (true) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return parts;
}

bool isSpoken(const char* word) {
    if (!word || !word[0]) return false;
    if (word[0] == '<' || word[0] == '[' || word[0] == '_' || word[0] == '+') return false;
    return strcmp(word, "(NULL)") != 0;
}

class Decoder {
public:
    ~Decoder() {
        if (ps_) ps_free(ps_);
        if (config_) cmd_ln_free_r(config_);
    }

    std::string load(const Message& message) {
        const auto request = decodeLoad(message);
        if (!request) return "mensaje de carga incompleto";
        loadingFolder = request->modelFolder;
        const std::string dict = temporaryFile(request->dictionary, ".dict");
        const std::string lm = temporaryFile(request->arpa, ".arpa");
        std::string failure;
        if (dict.empty() || lm.empty()) {
            failure = "no se pudo escribir el modelo temporal";
        } else if (!ps_ || request->modelFolder != hmm_ || request->options != options_) {
            failure = create(request->modelFolder, dict, lm, request->options);
        } else {
            failure = swap(dict, lm);
        }
        if (!dict.empty()) unlink(dict.c_str());
        if (!lm.empty()) unlink(lm.c_str());
        return failure;
    }

    void process(const std::vector<std::int16_t>& samples) {
        if (!ps_) return;
        const double began = now();
        ps_process_raw(ps_, samples.data(), samples.size(), FALSE, FALSE);
        consumed_ += samples.size();
        int32 score = 0;
        const char* hyp = ps_get_hyp(ps_, &score);
        const std::string text = hyp ? hyp : "";
        const double audioNow = secondsOfSamples(consumed_);
        if (text != lastHyp_) {
            lastHyp_ = text;
            boundary_.guessChanged(audioNow);
            sendHypothesis(false);
        }
        writeMessage(kOut, encode(Progress{consumed_, now() - began}));
        if (boundary_.shouldClose(audioNow)) finalize();
    }

    void finalize() {
        if (!ps_) return;
        ps_end_utt(ps_);
        sendHypothesis(true);
        startUtterance();
    }

private:
    std::string create(const std::string& hmm, const std::string& dict, const std::string& lm,
                       const std::string& options) {
        if (ps_) ps_free(ps_);
        if (config_) cmd_ln_free_r(config_);
        ps_ = nullptr;
        std::vector<std::string> args = {"-hmm", hmm, "-dict",  dict,
                                         "-lm",  lm,  "-logfn", "/dev/null"};
        for (const auto& option : split(options, ' ')) {
            if (!option.empty()) args.push_back(option);
        }
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        config_ =
            cmd_ln_parse_r(nullptr, ps_args(), static_cast<int>(argv.size()), argv.data(), TRUE);
        if (!config_) return "opciones del decodificador no válidas";
        ps_ = ps_init(config_);
        if (!ps_) return modelFailure();
        hmm_ = hmm;
        options_ = options;
        startUtterance();
        return {};
    }

    // A new script on the same acoustic model: the decoder and its normalisation stay.
    std::string swap(const std::string& dict, const std::string& lm) {
        ps_end_utt(ps_);
        sendHypothesis(true);
        if (ps_load_dict(ps_, dict.c_str(), nullptr, nullptr) < 0) return "diccionario no válido";
        ngram_model_t* model =
            ngram_model_read(config_, lm.c_str(), NGRAM_ARPA, ps_get_logmath(ps_));
        if (!model) return "modelo de lenguaje no válido";
        ps_set_lm(ps_, "script", model);
        ngram_model_free(model);
        ps_set_search(ps_, "script");
        startUtterance();
        return {};
    }

    void startUtterance() {
        ps_start_utt(ps_);
        uttStart_ = secondsOfSamples(consumed_);
        boundary_.start(uttStart_);
        lastHyp_.clear();
    }

    void sendHypothesis(bool isFinal) {
        Hypothesis hypothesis{isFinal, {}};
        for (ps_seg_t* seg = ps_seg_iter(ps_); seg; seg = ps_seg_next(seg)) {
            const char* word = ps_seg_word(seg);
            if (!isSpoken(word)) continue;
            std::string name = word;
            if (const auto paren = name.find('('); paren != std::string::npos && paren > 0)
                name.resize(paren);
            int start = 0, end = 0;
            ps_seg_frames(seg, &start, &end);
            hypothesis.words.push_back({std::move(name), uttStart_ + secondsOfFrames(start)});
        }
        writeMessage(kOut, encode(hypothesis));
    }

    cmd_ln_t* config_ = nullptr;
    ps_decoder_t* ps_ = nullptr;
    std::string hmm_;
    std::string options_;
    unsigned long long consumed_ = 0;
    double uttStart_ = 0;
    vorela::UtteranceBoundary boundary_;
    std::string lastHyp_;
};

}  // namespace

int main() {
    err_set_callback(keepLibraryErrors, nullptr);
    atexit(reportFailedLoad);
    Decoder decoder;
    while (const auto message = readMessage(kIn)) {
        switch (message->type) {
            case MessageType::load: {
                lastLibraryError.clear();
                isLoading = true;
                const std::string failure = decoder.load(*message);
                isLoading = false;
                writeMessage(kOut, failure.empty() ? encodeSignal(MessageType::ready)
                                                   : encodeError(failure));
                break;
            }
            case MessageType::audio:
                if (const auto samples = decodeAudio(*message)) decoder.process(*samples);
                break;
            case MessageType::finalize:
                decoder.finalize();
                writeMessage(kOut, encodeSignal(MessageType::finalized));
                break;
            case MessageType::abort:
                abort();
            default:
                break;
        }
    }
    return 0;
}
