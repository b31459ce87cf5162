// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AboutWindow.h"

#include "bot/SystemInfo.h"

#include <quillon/Version.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 64;

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(AboutBox::caption());
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(kIconSize, kIconSize));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    auto* title = new QLabel(AboutBox::title(), this);
    title->setObjectName(QStringLiteral("title"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    layout->addWidget(new QLabel(AboutBox::versionText(), this));
    layout->addWidget(new QLabel(tr("Plays your music and serves your chat room."), this));
    layout->addWidget(new QLabel(tr("Free software under the GNU General Public License, version 3 or later (%1).")
                                     .arg(QLatin1String(QUILLON_LICENSE)),
                                 this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignRight);
}
