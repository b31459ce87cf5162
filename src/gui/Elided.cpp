// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Elided.h"

#include <QAbstractScrollArea>
#include <QHelpEvent>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

// Narrower than this a short value ("00:00", "mono") would be cut too.
constexpr int kShortestChars = 8;

class ViewWideRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(1, QStyledItemDelegate::sizeHint(option, index).height());
    }
};

}  // namespace

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const int shortest = std::min(fm.horizontalAdvance(text()), fm.averageCharWidth() * kShortestChars);
    const QMargins frame = contentsMargins();
    return QSize(shortest + frame.left() + frame.right() + 2 * margin(), QLabel::minimumSizeHint().height());
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

bool ElidedLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (shownText() != text())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shownText(), foregroundRole());
}

void elideLongRows(QListView* list)
{
    list->setItemDelegate(new ViewWideRows(list));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
}

void keepRoomFor(QAbstractScrollArea* view, int chars, int lines)
{
    const QFontMetrics fm = view->fontMetrics();
    const int frame = 2 * view->frameWidth();
    // A vertical scroll bar may take its share of the width.
    const int bar = view->verticalScrollBar()->sizeHint().width();
    view->setMinimumSize(fm.averageCharWidth() * chars + frame + bar, fm.lineSpacing() * lines + frame);
}
