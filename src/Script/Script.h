#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Speech/TranscriptionLocale.h"
#include "Platform/Store/ModelObject.h"
#include "Platform/Time/Date.h"

namespace vorela {

class Bookmark;

// A persistent script of the library (entity "Script"). Records compare by persistent
// identity; deleting a script deletes its bookmarks. Main thread only.
class Script final : public ModelObject {
    struct Passkey {};

public:
    // The longest body the program opens, edits, counts or loads; importing holds to it. A
    // longer body stored before that limit is kept, shown by its title only.
    static constexpr std::size_t kMaxBodySize = 50ull << 20;

    static const EntityDescription& entityDescription();

    // Both dates are `now`; no bookmarks. Insert it into a context to store it.
    static std::shared_ptr<Script> make(std::string title, std::string body,
                                        std::string localeIdentifier, Date now,
                                        std::optional<double> preferredWPM = std::nullopt,
                                        std::optional<std::string> folder = std::nullopt);

    explicit Script(Passkey) : ModelObject(entityDescription()) {}

    const std::string& title() const;
    void setTitle(std::string title);
    const std::string& body() const;
    void setBody(std::string body);
    // Sets the body with its word count, for an editor that counted it as it went.
    void setBody(std::string body, long wordCount);
    // The raw value of a TranscriptionLocale ("es-ES", "es-MX", "en-US", "en-GB").
    const std::string& localeIdentifier() const;
    void setLocaleIdentifier(std::string identifier);
    std::optional<double> preferredWPM() const;
    void setPreferredWPM(std::optional<double> wordsPerMinute);
    std::optional<std::string> folder() const;
    void setFolder(std::optional<std::string> folder);
    Date createdAt() const;
    void setCreatedAt(Date date);
    Date modifiedAt() const;
    void setModifiedAt(Date date);

    bool isTooLargeToOpen() const { return body().size() > kMaxBodySize; }
    // The locale of the identifier, or the system default for any other identifier.
    TranscriptionLocale locale() const;
    // The bookmarks that point at this script, in stored order; none before insertion.
    std::vector<std::shared_ptr<Bookmark>> bookmarks() const;

    // What the library shows and searches for each script, made from the stored fields
    // when first asked and kept until the field changes, so that a list of thousands of
    // scripts never re-reads every body. The number of spoken words of the body
    // (Tokenizer::countWords: the same in every language).
    long wordCount() const;
    // The title and the body lower-cased as unicode::lowercased does.
    const std::string& lowercasedTitle() const;
    const std::string& lowercasedBody() const;

private:
    enum Attribute : std::size_t {
        kTitle,
        kBody,
        kLocaleIdentifier,
        kPreferredWPM,
        kFolder,
        kCreatedAt,
        kModifiedAt
    };
    const std::string& text(Attribute attribute) const;
    bool holdsText(Attribute attribute, const std::string& text) const;
    Date date(Attribute attribute) const;

    mutable std::optional<long> wordCount_;
    mutable std::optional<std::string> lowercasedTitle_;
    mutable std::optional<std::string> lowercasedBody_;
};

}  // namespace vorela
