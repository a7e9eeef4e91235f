#include "Ui/UnbreakableRuns.h"

namespace vorela::UnbreakableRuns {

bool isBreakingSpace(QChar c) {
    return c == u' ' || c == u'\u200B' || (c.isSpace() && c.decompositionTag() != QChar::NoBreak);
}

bool hasRunLongerThan(QStringView text, qsizetype longest) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = isBreakingSpace(c) ? 0 : run + 1;
        if (run > longest) return true;
    }
    return false;
}

}  // namespace vorela::UnbreakableRuns
