#include "App/Qt/ScriptRowDelegate.h"

#include <QApplication>
#include <QPainter>

#include "App/Qt/ScriptListModel.h"
#include "Ui/Style.h"

namespace vorela {

namespace {

// Margins of a row: 4 points beside the texts, 3 above and below, 2 between the lines.
constexpr int kSideMargin = 4;
constexpr int kVerticalMargin = 3;
constexpr int kLineSpacing = 2;

bool isSection(const QModelIndex& index) {
    return index.data(ScriptListModel::IsSectionRole).toBool();
}

}  // namespace

QFont ScriptRowDelegate::sectionFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont ScriptRowDelegate::detailFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(Style::pointSize(Style::TextRole::caption2));
    return font;
}

const ScriptRowDelegate::Heights& ScriptRowDelegate::heightsFor(const QFont& font) const {
    if (heights_.script > 0 && heights_.font == font) return heights_;
    const int titleHeight = QFontMetrics(font).height();
    const int detailHeight = QFontMetrics(detailFont(font)).height();
    heights_ = {font, titleHeight + 2 * kVerticalMargin,
                titleHeight + kLineSpacing + detailHeight + 2 * kVerticalMargin};
    return heights_;
}

QSize ScriptRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const Heights& heights = heightsFor(option.font);
    return {0, isSection(index) ? heights.section : heights.script};
}

void ScriptRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &base, painter, widget);

    const bool isSelected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QRect area =
        option.rect.adjusted(kSideMargin, kVerticalMargin, -kSideMargin, -kVerticalMargin);
    const QString title = index.data(Qt::DisplayRole).toString();
    painter->save();
    painter->setPen(
        option.palette.color(group, isSelected ? QPalette::HighlightedText : QPalette::Text));
    if (isSection(index)) {
        painter->setFont(sectionFont(option.font));
        painter->drawText(
            area, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(painter->font()).elidedText(title, Qt::ElideRight, area.width()));
        painter->restore();
        return;
    }
    const QFontMetrics titleMetrics(option.font);
    QRect line(area.left(), area.top(), area.width(), titleMetrics.height());
    painter->setFont(option.font);
    painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(title, Qt::ElideRight, line.width()));
    const QFont detail = detailFont(option.font);
    const QFontMetrics detailMetrics(detail);
    line =
        QRect(area.left(), line.bottom() + 1 + kLineSpacing, area.width(), detailMetrics.height());
    painter->setFont(detail);
    painter->setPen(option.palette.color(
        group, isSelected ? QPalette::HighlightedText : QPalette::PlaceholderText));
    painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      detailMetrics.elidedText(index.data(ScriptListModel::DetailRole).toString(),
                                               Qt::ElideRight, line.width()));
    painter->restore();
}

}  // namespace vorela
