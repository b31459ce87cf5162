#include "controls/SkinButton.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

// One sheet of every look in every state, for a person to look at:
// rows are the fourteen types, columns normal, over, pressed, focused and
// disabled.
TEST(SkinGallery, WritesOneSheetOfEveryLookAndState)
{
    const QSize cell(96, 32);
    const int gap = 8, states = 5, types = 14;
    QImage sheet((cell.width() + gap) * states + gap, (cell.height() + gap) * types + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0xE8, 0xEC, 0xF0));
    QPainter painter(&sheet);

    QWidget window;
    window.resize(sheet.size());
    window.show();
    QSet<QRgb> colours;
    for (int type = 1; type <= types; ++type) {
        for (int state = 0; state < states; ++state) {
            SkinButton button(QStringLiteral("&Button"), &window);
            button.setButtonType(type);
            button.setGeometry(QRect(QPoint(), cell));
            button.show();
            if (state == 1) {
                QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
                QApplication::sendEvent(&button, &enter);
            } else if (state == 2) {
                QMouseEvent press(QEvent::MouseButtonPress, QPointF(8, 8), QPointF(8, 8), Qt::LeftButton,
                                  Qt::LeftButton, {});
                QApplication::sendEvent(&button, &press);
            } else if (state == 3) {
                QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
                QApplication::sendEvent(&button, &in);
            } else if (state == 4) {
                button.setEnabled(false);
            }
            const QImage image = button.grab().toImage();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            }
            painter.drawImage(gap + state * (cell.width() + gap), gap + (type - 1) * (cell.height() + gap), image);
        }
    }
    painter.end();
    const QString path = QStringLiteral(QUILLON_GALLERY_DIR "/skin-gallery.png");
    ASSERT_TRUE(sheet.save(path)) << path.toStdString();
    std::printf("gallery: %s\n", qPrintable(path));
    // Fourteen looks in five states make far more than a handful of colours.
    EXPECT_GT(colours.size(), 40);
}
