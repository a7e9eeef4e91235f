#pragma once

#include <QChar>
#include <QStringView>

// Runs of text that offer no line break. Qt's line layout, at word boundaries or else
// anywhere, scans a whole run for every line it cuts from it: a run of a million
// characters takes minutes. Views lay such runs out another way.
namespace vorela::UnbreakableRuns {

// A space a line may break after: not a no-break space.
bool isBreakingSpace(QChar c);
// Whether text holds more than `longest` UTF-16 units in a row without a breaking space.
bool hasRunLongerThan(QStringView text, qsizetype longest);

}  // namespace vorela::UnbreakableRuns
