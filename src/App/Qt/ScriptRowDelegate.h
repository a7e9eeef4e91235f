#pragma once

#include <QFont>
#include <QStyledItemDelegate>

namespace vorela {

// Draws a line of the library list: a section header in semibold, or a script row with
// its title on one line and, below it in a smaller secondary text, its word count and
// reading time. The heights follow the fonts alone, so a view can lay out thousands of
// lines without asking for their texts.
class ScriptRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static QFont sectionFont(const QFont& base);
    static QFont detailFont(const QFont& base);

private:
    // Measuring a font costs more than laying out a line: heights are kept per font.
    struct Heights {
        QFont font;
        int section = 0;
        int script = 0;
    };
    const Heights& heightsFor(const QFont& font) const;

    mutable Heights heights_;
};

}  // namespace vorela
