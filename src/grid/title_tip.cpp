#include "grid/title_tip.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

namespace qn410 {

namespace {
// Room the item delegate leaves on both sides of a cell's text.
int TextMargins(const QAbstractItemView& view) {
    return 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
}
}  // namespace

TitleTip::TitleTip(QAbstractItemView& view) : QObject(&view), view_(view) {
    view.viewport()->installEventFilter(this);
}

bool TitleTip::IsCutOff(const QAbstractItemView& view, const QModelIndex& index) {
    if (!index.isValid()) return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return false;
    const int room = view.visualRect(index).width() - TextMargins(view);
    return view.fontMetrics().horizontalAdvance(text) > room;
}

bool TitleTip::eventFilter(QObject* watched, QEvent* event) {
    // The type comes first: the viewport also reports events while the view is being destroyed.
    if (event->type() != QEvent::ToolTip || watched != view_.viewport()) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view_.indexAt(help->pos());
    if (IsCutOff(view_, index)) {
        QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(),
                           view_.viewport(), view_.visualRect(index));
    } else {
        QToolTip::hideText();
    }
    return true;
}

}  // namespace qn410
