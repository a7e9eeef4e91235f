#include "Script/Script.h"

#include "Platform/Store/ModelContext.h"
#include "Script/Bookmark.h"
#include "Script/Tokenizer.h"
#include "Script/Unicode.h"

namespace vorela {

const EntityDescription& Script::entityDescription() {
    static const EntityDescription description{
        "Script",
        {
            AttributeDescription::field("title", AttributeType::text),
            AttributeDescription::field("body", AttributeType::text),
            AttributeDescription::field("localeIdentifier", AttributeType::text),
            AttributeDescription::field("preferredWPM", AttributeType::real, true),
            AttributeDescription::field("folder", AttributeType::text, true),
            AttributeDescription::field("createdAt", AttributeType::date),
            AttributeDescription::field("modifiedAt", AttributeType::date),
        },
        [] { return std::make_shared<Script>(Passkey{}); }};
    return description;
}

std::shared_ptr<Script> Script::make(std::string title, std::string body,
                                     std::string localeIdentifier, Date now,
                                     std::optional<double> preferredWPM,
                                     std::optional<std::string> folder) {
    auto script = std::make_shared<Script>(Passkey{});
    script->setTitle(std::move(title));
    script->setBody(std::move(body));
    script->setLocaleIdentifier(std::move(localeIdentifier));
    script->setPreferredWPM(preferredWPM);
    script->setFolder(std::move(folder));
    script->setCreatedAt(now);
    script->setModifiedAt(now);
    return script;
}

const std::string& Script::text(Attribute attribute) const {
    static const std::string kEmpty;
    const auto* text = std::get_if<std::string>(&value(attribute));
    return text ? *text : kEmpty;
}

Date Script::date(Attribute attribute) const {
    const auto* seconds = std::get_if<double>(&value(attribute));
    return Date::fromReference(seconds ? *seconds : 0);
}

const std::string& Script::title() const { return text(kTitle); }

// A fresh record holds no value, which reads as "" yet would be stored as NULL: only a
// stored text equal to the new one is left alone.
bool Script::holdsText(Attribute attribute, const std::string& text) const {
    const auto* stored = std::get_if<std::string>(&value(attribute));
    return stored && *stored == text;
}

void Script::setTitle(std::string title) {
    if (holdsText(kTitle, title)) return;
    lowercasedTitle_.reset();
    setValue(kTitle, std::move(title));
}

const std::string& Script::body() const { return text(kBody); }

void Script::setBody(std::string body) {
    if (holdsText(kBody, body)) return;
    wordCount_.reset();
    lowercasedBody_.reset();
    setValue(kBody, std::move(body));
}

void Script::setBody(std::string body, long wordCount) {
    setBody(std::move(body));
    wordCount_ = wordCount;
}
const std::string& Script::localeIdentifier() const { return text(kLocaleIdentifier); }
void Script::setLocaleIdentifier(std::string identifier) {
    setValue(kLocaleIdentifier, std::move(identifier));
}

std::optional<double> Script::preferredWPM() const {
    const auto* rate = std::get_if<double>(&value(kPreferredWPM));
    return rate ? std::optional<double>(*rate) : std::nullopt;
}

void Script::setPreferredWPM(std::optional<double> wordsPerMinute) {
    setValue(kPreferredWPM, wordsPerMinute ? ModelValue(*wordsPerMinute) : ModelValue());
}

std::optional<std::string> Script::folder() const {
    const auto* folder = std::get_if<std::string>(&value(kFolder));
    return folder ? std::optional<std::string>(*folder) : std::nullopt;
}

void Script::setFolder(std::optional<std::string> folder) {
    setValue(kFolder, folder ? ModelValue(std::move(*folder)) : ModelValue());
}

Date Script::createdAt() const { return date(kCreatedAt); }
void Script::setCreatedAt(Date date) { setValue(kCreatedAt, date.secondsSinceReference()); }
Date Script::modifiedAt() const { return date(kModifiedAt); }
void Script::setModifiedAt(Date date) { setValue(kModifiedAt, date.secondsSinceReference()); }

long Script::wordCount() const {
    if (!wordCount_) wordCount_ = Tokenizer(Tokenizer::languageFor(locale())).countWords(body());
    return *wordCount_;
}

const std::string& Script::lowercasedTitle() const {
    if (!lowercasedTitle_) lowercasedTitle_ = unicode::lowercased(title());
    return *lowercasedTitle_;
}

const std::string& Script::lowercasedBody() const {
    if (!lowercasedBody_) lowercasedBody_ = unicode::lowercased(body());
    return *lowercasedBody_;
}

TranscriptionLocale Script::locale() const {
    return fromRawValue(std::type_identity<TranscriptionLocale>{}, localeIdentifier())
        .value_or(systemDefaultTranscriptionLocale());
}

std::vector<std::shared_ptr<Bookmark>> Script::bookmarks() const {
    std::vector<std::shared_ptr<Bookmark>> result;
    const auto owner = context();
    if (!owner || isDeleted()) return result;
    const auto& entity = Bookmark::entityDescription();
    const auto fetched = owner->fetchReferencing(entity, *entity.indexOf("script"), *this);
    for (const auto& object : fetched.objects) {
        result.push_back(std::static_pointer_cast<Bookmark>(object));
    }
    return result;
}

}  // namespace vorela
