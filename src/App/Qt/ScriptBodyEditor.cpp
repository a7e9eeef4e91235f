#include "App/Qt/ScriptBodyEditor.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <vector>

#include "Ui/UnbreakableRuns.h"

namespace vorela {

namespace {

// The user state of a block whose line feed before it is only a cut.
constexpr int kAfterCut = 0x43757400;

// Where text's paragraphs longer than `longest` are cut: after the last space in the
// second half of each piece, else where no character is split.
std::vector<qsizetype> cuts(const QString& text, qsizetype longest) {
    std::vector<qsizetype> found;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\n') {
            if (i - start < longest) continue;
            qsizetype cut = i;
            for (qsizetype j = i; j > start + longest / 2; --j) {
                if (UnbreakableRuns::isBreakingSpace(text[j - 1])) {
                    cut = j;
                    break;
                }
            }
            while (cut > start + 1 && (text[cut].isLowSurrogate() || text[cut].isMark())) --cut;
            found.push_back(cut);
            start = cut;
            continue;
        }
        start = i + 1;
    }
    return found;
}

}  // namespace

ScriptBodyEditor::ScriptBodyEditor(QWidget* parent) : QPlainTextEdit(parent) {
    // Before the change is laid out: a pasted run that offers no break must not reach the
    // word wrap.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { wrapAnywhereForLongRuns(position, added); });
}

void ScriptBodyEditor::wrapAnywhereForLongRuns(int position, int added) {
    if (isSettingBody_ || wordWrapMode() == QTextOption::WrapAnywhere) return;
    const QTextBlock last = document()->findBlock(position + added);
    for (QTextBlock block = document()->findBlock(position); block.isValid();
         block = block.next()) {
        if (UnbreakableRuns::hasRunLongerThan(block.text(), kLongestRun)) {
            setWordWrapMode(QTextOption::WrapAnywhere);
            return;
        }
        if (block == last) return;
    }
}

void ScriptBodyEditor::setBody(const QString& body) {
    const QScopedValueRollback setting(isSettingBody_, true);
    setWordWrapMode(UnbreakableRuns::hasRunLongerThan(body, kLongestRun)
                        ? QTextOption::WrapAnywhere
                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
    const std::vector<qsizetype> at = cuts(body, kLongestBlock);
    hasCuts_ = !at.empty();
    // Undoing an edit across a cut brings its block back without the mark: the cut would
    // become a line feed of the text.
    setUndoRedoEnabled(!hasCuts_);
    if (!hasCuts_) {
        setPlainText(body);
        return;
    }
    QString shown;
    shown.reserve(body.size() + static_cast<qsizetype>(at.size()));
    qsizetype from = 0;
    for (const qsizetype cut : at) {
        shown.append(QStringView(body).sliced(from, cut - from)).append(u'\n');
        from = cut;
    }
    shown.append(QStringView(body).sliced(from));
    setPlainText(shown);
    // Cut k is the separator at position at[k] + k of the shown text.
    auto next = at.begin();
    for (QTextBlock block = document()->begin(); block.isValid() && next != at.end();
         block = block.next()) {
        const auto separator = static_cast<qsizetype>(block.position()) - 1;
        if (separator == *next + (next - at.begin())) {
            block.setUserState(kAfterCut);
            ++next;
        }
    }
}

QString ScriptBodyEditor::body() const {
    QString text = toPlainText();
    if (!hasCuts_) return text;
    QString joined;
    joined.reserve(text.size());
    qsizetype from = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.userState() != kAfterCut) continue;
        const qsizetype separator = block.position() - 1;
        joined.append(QStringView(text).sliced(from, separator - from));
        from = separator + 1;
    }
    joined.append(QStringView(text).sliced(from));
    return joined;
}

}  // namespace vorela
