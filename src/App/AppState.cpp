#include "App/AppState.h"

#include <algorithm>
#include <cmath>

#include "App/PrompterTextSurface.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Pasteboard/Pasteboard.h"
#include "Prefs/Prefs.h"
#include "Script/Bookmark.h"
#include "Script/ReadingRate.h"
#include "Script/SampleScript.h"
#include "Script/Script.h"
#include "Script/Tokenizer.h"
#include "Script/Unicode.h"

namespace vorela {

namespace Prefs::Keys {

const Key<double>& wpm() {
    static const Key<double> key("wpm", 140.0);
    return key;
}
const Key<PrompterMode>& defaultMode() {
    static const Key<PrompterMode> key("defaultMode", PrompterMode::classic);
    return key;
}
const Key<TranscriptionLocale>& transcriptionLocale() {
    static const Key<TranscriptionLocale> key("transcriptionLocale",
                                              systemDefaultTranscriptionLocale());
    return key;
}
const Key<bool>& openMainWindowAtLaunch() {
    static const Key<bool> key("openMainWindowAtLaunch", true);
    return key;
}
const Key<bool>& didFinishOnboarding() {
    static const Key<bool> key("didFinishOnboarding", false);
    return key;
}

}  // namespace Prefs::Keys

namespace {

// The scroll engine's time constant and the hover monitor's resume delay, in seconds.
constexpr double kScrollTau = 0.18;
constexpr double kHoverResumeDelay = 0.4;

// A rate that is not a finite number (a damaged preference) is the slowest rate, never a
// NaN that would freeze or fling the text.
double clampedWpm(double value) {
    if (!std::isfinite(value)) return ReadingRate::kMinWpm;
    return std::min(std::max(value, ReadingRate::kMinWpm), ReadingRate::kMaxWpm);
}

}  // namespace

AppState::AppState(AppServices services)
    : wpm(clampedWpm(Prefs::get(Prefs::Keys::wpm()))),
      voiceProfile(VoiceProfile::current()),
      theme(Theme::current()),
      services_(std::move(services)),
      scrollEngine_(kScrollTau, services_.accessibility),
      hoverMonitor_(std::make_shared<HoverMonitor>(kHoverResumeDelay, services_.runLoop)),
      updates_(services_.updateFramework, services_.updateInfo),
      voice_(*this, services_) {
    loadText(SampleScript::text(), SampleScript::title());

    scrollEngine_.setOnChange(guard_.bind([this](double y) { scrollChanged(y); }));
    scrollEngine_.setOnTick(guard_.bind([this](double dt) { tick(dt); }));
    scrollEngine_.setNeedsTicks(
        [this, watch = guard_.watch()] { return watch.isAlive() && needsTicks(); });
    // Whatever needsTicks reads may start the frames again.
    const auto wake = guard_.bind([this](const auto&) { scrollEngine_.wake(); });
    frameNeeds_.push_back(playback.observe(wake));
    frameNeeds_.push_back(mode.observe(wake));
    voice_.configureDetector(voiceProfile.get());
    retuneMatcher(voiceProfile.get());
    hoverMonitor_->setOnEnter(guard_.bind([this] { hoverBegan(); }));
    hoverMonitor_->setOnExit(guard_.bind([this] { hoverEnded(); }));
}

AppState::~AppState() = default;

// --- loading ---

ScriptTokens AppState::tokenize(const std::string& text) const {
    const Tokenizer tokenizer(Tokenizer::languageFor(transcriptionLocale()));
    return ScriptTokens{std::make_shared<const std::vector<Token>>(tokenizer.tokenize(text)),
                        textRevision_};
}

void AppState::load(std::string text, std::string title) {
    activeScript.set(nullptr);
    loadText(std::move(text), std::move(title));
}

void AppState::loadText(std::string text, std::string title) {
    // The tokens' ranges address the sanitised text; the view lays out the same one.
    if (!unicode::isValidUtf8(text)) text = unicode::sanitizeUtf8(text);
    if (scriptText.set(std::move(text))) {
        ++textRevision_;
        // The previous words are let go before the new ones are made: both at once were
        // the peak of loading a long text over another.
        matcher_.setTokens(std::make_shared<const std::vector<Token>>());
        voice_.releaseWords();
        tokens.set(ScriptTokens{std::make_shared<const std::vector<Token>>(), textRevision_});
    }
    scriptTitle.set(std::move(title));
    tokens.set(tokenize(scriptText.get()));
    matcher_.setTokens(tokens.get().list);
    matcher_.reset(0);
    voice_.setWords(tokens.get().list, transcriptionLocale());
    // A match found in the previous text means nothing in this one.
    lastMatchedIndex_.reset();
    moveReadingPosition(0, 0);
    moveScrollToTop();
}

void AppState::load(const std::shared_ptr<Script>& script) {
    // Its words would not fit in memory; the library view never offers to load it.
    if (!script || script->isTooLargeToOpen()) return;
    // The locale is stored first so that the new text is tokenised once, in its language;
    // switching it as the settings do would key the previous text again only to drop it.
    const TranscriptionLocale locale = script->locale();
    const bool newLocale = locale != transcriptionLocale();
    if (newLocale) Prefs::set(Prefs::Keys::transcriptionLocale(), locale);
    loadText(script->body(), script->title());
    if (newLocale) restartTranscription();
    activeScript.set(script);
    if (const auto preferred = script->preferredWPM()) setWpm(*preferred);
}

bool AppState::loadFromPasteboard() {
    const auto text = services_.pasteboard.string();
    if (!text) return false;
    if (unicode::trimWhitespaceAndNewlines(*text).empty()) return false;
    load(*text, Bundle::localized("Guion pegado"));
    return true;
}

void AppState::forgetDeletedScript(const std::shared_ptr<Script>& script) {
    if (script && activeScript.get() == script) activeScript.set(nullptr);
}

void AppState::attach(const std::shared_ptr<PrompterTextSurface>& view) {
    if (!view) return;
    const auto previous = textView_.lock();
    if (previous && previous != view) previous->setHoverMonitor({});
    textView_ = view;
    scrollEngine_.start(*view);
    view->setScrollY(scrollEngine_.scrollY());
    view->setHoverMonitor(hoverMonitor_);
    scrollEngine_.wake();
}

// --- playback ---

void AppState::play() {
    if (tokens.get().empty()) return;
    if (mode.get() == PrompterMode::manual) setMode(Prefs::get(Prefs::Keys::defaultMode()));
    // A recogniser given up stays so until the reader asks to go on.
    voice_.retryFailedTranscription();
    pausedByHover_ = false;
    playback.set(PlaybackState::playing);
}

void AppState::togglePlayback() {
    if (playback.get() == PlaybackState::playing)
        pause();
    else
        play();
}

void AppState::pause() {
    if (playback.get() != PlaybackState::playing) return;
    pausedByHover_ = false;
    playback.set(PlaybackState::paused);
}

void AppState::moveScrollToTop() {
    scrollEngine_.setTargetY(0);
    scrollEngine_.setScrollY(0);
    if (const auto& onChange = scrollEngine_.onChange()) onChange(0);
}

void AppState::resetScroll() {
    moveScrollToTop();
    moveReadingPosition(0, 0);
}

void AppState::restart() { resetScroll(); }

void AppState::keepReadingPosition() {
    const auto view = textView_.lock();
    if (!view) return;
    // Nothing read yet: the text's top stays at the reading line.
    if (wordPosition_ == 0 && scrollEngine_.targetY() == 0) return;
    const auto offset = scrollOffset(wordPosition_);
    if (!offset) return;
    const double y = clampedTarget(*offset, *view);
    scrollEngine_.setTargetY(y);
    scrollEngine_.setScrollY(y);
    if (const auto& onChange = scrollEngine_.onChange()) onChange(y);
}

void AppState::setMode(PrompterMode newMode) {
    if (newMode == mode.get()) return;
    mode.set(newMode);
    services_.telemetry.log("mode", {{"mode", std::string(rawValue(newMode))}});
    voice_.syncAudioToMode();
    if (!vorela::usesMicrophone(newMode)) return;
    onRequestShowPanel_();
    matcher_.reset(currentTokenIndex.get());
    playback.set(PlaybackState::playing);
    pausedByHover_ = false;
}

// --- the frame ---

bool AppState::needsTicks() const {
    // tick() can move the reading position only while playing outside the manual mode.
    return playback.get() == PlaybackState::playing && mode.get() != PrompterMode::manual &&
           !textView_.expired();
}

void AppState::tick(double dt) {
    if (playback.get() != PlaybackState::playing) return;
    const auto view = textView_.lock();
    if (!view) return;
    const long n = static_cast<long>(tokens.get().size());
    const double limit = n > 0 ? static_cast<double>(n - 1) : 0.0;
    double p = wordPosition_;
    switch (mode.get()) {
        case PrompterMode::manual:
            return;  // the position follows the user's scrolling
        case PrompterMode::classic:
            p = std::min(wordPosition_ + dt * wpm.get() / 60, limit);
            if (!(p > wordPosition_)) {
                playback.set(PlaybackState::stopped);  // the last word has been reached
                return;
            }
            break;
        case PrompterMode::voiceActivated: {
            const double rate = voiceProfile.get().measuredWPM.value_or(wpm.get());
            if (isSpeaking.get()) p = std::min(wordPosition_ + dt * rate / 60, limit);
            if (!(p > wordPosition_)) return;  // never backwards, never stops at the end
            break;
        }
        case PrompterMode::wordTracking: {
            const auto matched = std::exchange(lastMatchedIndex_, std::nullopt);
            if (matched) {
                p = static_cast<double>(*matched);
            } else if (matcher_.state() == MatchState::lost && isSpeaking.get()) {
                // Dead reckoning: a reader the matcher lost is most likely still reading,
                // but the text waits where the lost search can still find the reader.
                const double reach =
                    static_cast<double>(matcher_.confirmed() + matcher_.config().recoverBack);
                p = std::min({wordPosition_ + dt * matcher_.measuredWPM() / 60, limit,
                              std::max(wordPosition_, reach)});
            }
            if (p == wordPosition_) return;
            if (!matched && matcher_.tokenCount() > 0) {
                const long current = static_cast<long>(std::floor(p));
                matcher_.setCursor(std::min(matcher_.tokenCount() - 1, std::max(0L, current)));
            }
            break;
        }
    }
    wordPosition_ = p;
    currentTokenIndex.set(static_cast<long>(std::floor(p)));
    if (const auto o = scrollOffset(wordPosition_))
        scrollEngine_.setTargetY(clampedTarget(*o, *view));
}

double AppState::clampedTarget(double offset, const PrompterTextSurface& view) const {
    return std::min(offset, std::max(0.0, view.contentHeight() - 0.5 * view.fontSize()));
}

std::optional<double> AppState::scrollOffset(double forWordPosition) const {
    const auto view = textView_.lock();
    if (!view) return std::nullopt;
    const double base = std::floor(forWordPosition);
    const long i = static_cast<long>(base);
    const auto a = view->scrollOffsetForToken(i);
    if (!a) return std::nullopt;
    const auto b = view->scrollOffsetForToken(i + 1);
    if (!b) return a;
    return *a + (forWordPosition - base) * (*b - *a);
}

void AppState::moveReadingPosition(long index, double position) {
    // The position first: whoever hears of the new word reads the gauges from it.
    wordPosition_ = position;
    currentTokenIndex.set(index);
}

void AppState::scrollChanged(double y) {
    if (auto view = textView_.lock()) view->setScrollY(y);
    syncCurrentTokenToScroll();
}

void AppState::syncCurrentTokenToScroll() {
    if (mode.get() != PrompterMode::manual) return;
    const auto view = textView_.lock();
    if (!view) return;
    if (const auto index = view->tokenIndexAtReadingLine())
        moveReadingPosition(*index, static_cast<double>(*index));
}

// --- jumps and bookmarks ---

void AppState::jumpToToken(long index) {
    const auto view = textView_.lock();
    if (!view) return;
    const auto offset = view->scrollOffsetForToken(index);
    if (!offset) return;
    moveReadingPosition(index, static_cast<double>(index));
    matcher_.reset(index);
    scrollEngine_.setTargetY(clampedTarget(*offset, *view));
}

void AppState::returnTo(const ReadingPlace& place) {
    moveReadingPosition(place.tokenIndex, place.wordPosition);
    matcher_.reset(place.tokenIndex);
    scrollEngine_.setTargetY(place.scrollTargetY);
}

void AppState::scrollManually(double deltaPoints) {
    if (!textView_.lock()) return;
    setMode(PrompterMode::manual);
    // The mode change may have run observers; the view must still be there.
    const auto view = textView_.lock();
    if (!view) return;
    const double target = std::max(scrollEngine_.targetY() - deltaPoints, 0.0);
    scrollEngine_.setTargetY(clampedTarget(target, *view));
}

std::vector<std::shared_ptr<Bookmark>> AppState::bookmarks() const {
    const auto& script = activeScript.get();
    if (!script) return {};
    auto list = script->bookmarks();
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a->tokenIndex() < b->tokenIndex();
    });
    return list;
}

void AppState::jumpToNextBookmark() {
    const long current = currentTokenIndex.get();
    for (const auto& bookmark : bookmarks()) {
        if (bookmark->tokenIndex() > current) return jumpToToken(bookmark->tokenIndex());
    }
}

void AppState::jumpToPreviousBookmark() {
    const long current = currentTokenIndex.get();
    const auto list = bookmarks();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->tokenIndex() < current) return jumpToToken((*it)->tokenIndex());
    }
}

double AppState::progress() const {
    const auto n = static_cast<double>(tokens.get().size());
    if (n <= 1) return 0;
    return std::clamp(wordPosition_ / (n - 1), 0.0, 1.0);
}

double AppState::remainingSeconds() const {
    const double rate = wpm.get();
    if (!(rate > 0)) return 0;
    const auto n = static_cast<double>(tokens.get().size());
    return std::max(n - wordPosition_, 0.0) / (rate / 60);
}

// --- voice status ---

VoiceStatus AppState::voiceStatus() const {
    return deriveVoiceStatus({mode.get(), transcriptionProblem.get(),
                              voice_.audioSession().status(), isTranscribing.get(),
                              isSpeaking.get(), matchState.get()});
}

Subscription AppState::observeVoiceStatus(std::function<void(const VoiceStatus&)> callback) {
    struct Watch {
        VoiceStatus last;
        std::function<void(const VoiceStatus&)> callback;
        std::vector<Subscription> inputs;
    };
    auto watch = std::make_shared<Watch>(Watch{voiceStatus(), std::move(callback), {}});
    std::weak_ptr<Watch> weak = watch;
    const auto refresh = [this, weak](const auto&) {
        const auto w = weak.lock();
        if (!w) return;
        VoiceStatus now = voiceStatus();
        if (now == w->last) return;
        w->last = now;
        w->callback(w->last);
    };
    watch->inputs.push_back(mode.observe(refresh));
    watch->inputs.push_back(transcriptionProblem.observe(refresh));
    watch->inputs.push_back(voice_.audioSession().observeStatus(refresh));
    watch->inputs.push_back(isTranscribing.observe(refresh));
    watch->inputs.push_back(isSpeaking.observe(refresh));
    watch->inputs.push_back(matchState.observe(refresh));
    return Subscription([watch] { watch->inputs.clear(); });
}

// --- what the voice pipeline reports ---

void AppState::publishVoiceActivity(double level, bool speaking) {
    micLevel.set(level);
    isSpeaking.set(speaking);
}

void AppState::matchHeard(const TranscriptionUpdate& update, double now) {
    const auto language = Tokenizer::languageFor(transcriptionLocale());
    std::optional<long> result;
    if (matcher_.tokenCount() > 0) {
        matcher_.ingest(update, language, now);
        if (now - matcher_.lastUpdateTime() >= matcher_.config().minUpdateInterval) {
            matcher_.setLastUpdateTime(now);
            if (!matcher_.recentHeard().empty()) result = matcher_.align(now);
        }
    }
    matchState.set(matcher_.state());
    // No alignment replaces a match the next frame has not taken yet.
    lastMatchedIndex_ = result;
}

// --- setters ---

void AppState::setWpm(double wordsPerMinute) {
    const double value = clampedWpm(wordsPerMinute);
    wpm.set(value);
    // Written on every assignment, also one that changes nothing.
    Prefs::set(Prefs::Keys::wpm(), value);
}

TranscriptionLocale AppState::transcriptionLocale() const {
    return Prefs::get(Prefs::Keys::transcriptionLocale());
}

void AppState::setTranscriptionLocale(TranscriptionLocale locale) {
    if (locale == transcriptionLocale()) return;
    Prefs::set(Prefs::Keys::transcriptionLocale(), locale);
    // The position and the scroll stay: the words are the same, only their keys change.
    tokens.set(tokenize(scriptText.get()));
    matcher_.setTokens(tokens.get().list);
    matcher_.reset(0);
    voice_.setWords(tokens.get().list, locale);
    restartTranscription();
}

void AppState::restartTranscription() {
    if (!isTranscribing.get()) return;
    voice_.stopTranscription();
    voice_.startTranscription();
}

MirrorMode AppState::mirrorMode() const { return Prefs::get(Prefs::Keys::mirrorMode()); }

void AppState::setMirrorMode(MirrorMode mirror) {
    Prefs::set(Prefs::Keys::mirrorMode(), mirror);
    theme.set(Theme::current());
}

void AppState::setMicSensitivity(double sensitivity) {
    VoiceProfile profile = voiceProfile.get();
    profile.sensitivity =
        std::min(std::max(std::isnan(sensitivity) ? 0.0 : sensitivity, 0.0), 100.0);
    profile.save();
    voiceProfile.set(profile);
    voice_.configureDetector(profile);
}

// --- hover ---

void AppState::hoverBegan() {
    isHovering.set(true);
    if (playback.get() != PlaybackState::playing) return;
    playback.set(PlaybackState::paused);
    pausedByHover_ = true;
}

void AppState::hoverEnded() {
    isHovering.set(false);
    if (!std::exchange(pausedByHover_, false)) return;
    if (playback.get() != PlaybackState::playing) playback.set(PlaybackState::playing);
}

}  // namespace vorela
