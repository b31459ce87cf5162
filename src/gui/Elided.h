// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

class QAbstractScrollArea;
class QListView;

// A one-line label that may be narrower than its text: it ends in "…"
// then, and shows the whole text as its tool tip. Texts that come from
// outside (a song's name, a server's answer) cannot widen the window.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString shownText() const;
};

// Every row of the list as wide as the list: long names end in "…", and
// no row's width (the first one's, with uniform row sizes) decides for all.
void elideLongRows(QListView* list);

// However small its window, the view keeps room for this many characters
// of the average width side by side, and this many lines.
void keepRoomFor(QAbstractScrollArea* view, int chars, int lines);
