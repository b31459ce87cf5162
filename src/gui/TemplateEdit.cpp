// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TemplateEdit.h"

#include "controls/Values.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int kMostLines = 6;
constexpr int kFewestChars = 24;

}  // namespace

TemplateEdit::TemplateEdit(TextValue& field, QWidget* parent) : QPlainTextEdit(field.text(), parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Narrower, a template would wrap into more lines than it shows.
    setMinimumWidth(fontMetrics().averageCharWidth() * kFewestChars);
    connect(&field, &TextValue::textChanged, this, [this](const QString& text) {
        if (toPlainText() != text)
            setPlainText(text);
    });
    connect(this, &QPlainTextEdit::textChanged, &field, [this, &field] {
        field.setText(toPlainText());
        fitHeight();
    });
    fitHeight();
}

void TemplateEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();  // the dialog's, not a line break
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TemplateEdit::insertFromMimeData(const QMimeData* source)
{
    // The editor reads Unicode's line and paragraph separators back as
    // line breaks too.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\\x{2028}\\x{2029}]"));
    insertPlainText(source->text().replace(lineBreak, QStringLiteral(" ")));
}

void TemplateEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    fitHeight();
}

void TemplateEdit::fitHeight()
{
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    lines = std::clamp(lines, 1, kMostLines);
    const QMargins frame = contentsMargins();
    const int height = fontMetrics().lineSpacing() * lines + frame.top() + frame.bottom()
        + 2 * int(document()->documentMargin()) + 2;
    if (height != this->height())
        setFixedHeight(height);
}
