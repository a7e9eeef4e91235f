#pragma once

#include <QPlainTextEdit>

namespace vorela {

// The editor of a script's body. Qt lays a paragraph out whole as soon as any of it
// shows: a script of one 50 MB paragraph took 14 s and 2 GB to open. A paragraph longer
// than kLongestBlock is therefore shown as several blocks, cut after a space where there
// is one; the cuts are marked on their blocks and are not part of body(). A script with
// a run that offers no line break is wrapped anywhere, which Qt does in linear time
// rather than quadratic.
class ScriptBodyEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr qsizetype kLongestBlock = 16384;
    // Longer than a line of the editor holds.
    static constexpr qsizetype kLongestRun = 256;

    explicit ScriptBodyEditor(QWidget* parent = nullptr);
    // Replaces the text; the undo history starts afresh.
    void setBody(const QString& body);
    // The text as edited, without the cuts.
    QString body() const;

private:
    void wrapAnywhereForLongRuns(int position, int added);

    bool isSettingBody_ = false;
    bool hasCuts_ = false;
};

}  // namespace vorela
