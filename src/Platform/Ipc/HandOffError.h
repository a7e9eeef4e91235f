#pragma once

#include <string>

namespace vorela {

// Why a later start's request did not reach the running instance. The description is the
// Spanish line the later start shows before it ends with a failure status.
struct HandOffError {
    enum class Kind {
        unsafeFolder,  // the runtime folder is refused: nothing may go through it
        notListening,  // nobody answers on the socket
        tooLarge,      // over the largest message the running instance takes
        notConfirmed,  // sent, but the running instance never said it had it
    };
    Kind kind = Kind::notListening;
    std::string detail;  // the folder and why it is refused (unsafeFolder only)

    std::string description() const;
    bool operator==(const HandOffError&) const = default;
};

}  // namespace vorela
