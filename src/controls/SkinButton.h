// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/SkinKinds.h"
#include "controls/SkinPalette.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QPointer>

class PropertyBag;

// The program's own push button: it paints itself in one of fourteen looks
// and four colour schemes, may carry pictures, has hover colours, and can
// act as a check box (checkable, checked and toggled are QAbstractButton's,
// as are the caption with its "&" access key, clicked, and what a screen
// reader is told).
//
// Every property with a saved key reports a change through
// propertyChanged(key), the caption ("TX") and the check box switch
// ("CHECK") among them: SkinButton's setText and setCheckable stand in for
// QAbstractButton's, which tell nobody, so set them through a SkinButton.
class SkinButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool checkable READ isCheckable WRITE setCheckable)
    Q_PROPERTY(uint backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(uint backOver READ backOver WRITE setBackOver)
    Q_PROPERTY(uint foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(uint foreOver READ foreOver WRITE setForeOver)
    Q_PROPERTY(uint maskColor READ maskColor WRITE setMaskColor)
    Q_PROPERTY(Skin::ButtonType buttonType READ buttonType WRITE setButtonType)
    Q_PROPERTY(bool fontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool fontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool fontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(short fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(QString fontName READ fontName WRITE setFontName)
    Q_PROPERTY(Skin::ColorScheme colorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(bool showFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int mousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(QPixmap mouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool handPointer READ handPointer WRITE setHandPointer)
    Q_PROPERTY(quintptr hwnd READ hwnd)
    Q_PROPERTY(bool softBevel READ softBevel WRITE setSoftBevel)
    Q_PROPERTY(QPixmap pictureNormal READ pictureNormal WRITE setPictureNormal)
    Q_PROPERTY(QPixmap pictureOver READ pictureOver WRITE setPictureOver)
    Q_PROPERTY(Skin::PicturePosition picturePosition READ picturePosition WRITE setPicturePosition)
    Q_PROPERTY(bool useMaskColor READ useMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(bool useGreyscale READ useGreyscale WRITE setUseGreyscale)
    Q_PROPERTY(Skin::SpecialEffect specialEffect READ specialEffect WRITE setSpecialEffect)
    Q_PROPERTY(bool default READ isDefault WRITE setDefault)
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    static const QString kVersion;  // "2.0.6"

    // A new button: the classic look, the system scheme with its colours,
    // the name as caption.
    explicit SkinButton(const QString& name = {}, QWidget* parent = nullptr);
    explicit SkinButton(QWidget* parent) : SkinButton(QString(), parent) { }

    void setText(const QString& text);
    void setCheckable(bool on);
    OleColor backColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    OleColor backOver() const { return m_backOver; }
    void setBackOver(OleColor color);
    OleColor foreColor() const { return m_foreColor; }
    void setForeColor(OleColor color);
    OleColor foreOver() const { return m_foreOver; }
    void setForeOver(OleColor color);
    OleColor maskColor() const { return m_maskColor; }
    void setMaskColor(OleColor color);
    Skin::ButtonType buttonType() const { return m_buttonType; }
    void setButtonType(Skin::ButtonType type);
    bool fontBold() const { return font().bold(); }
    void setFontBold(bool on);
    bool fontItalic() const { return font().italic(); }
    void setFontItalic(bool on);
    bool fontUnderline() const { return font().underline(); }
    void setFontUnderline(bool on);
    short fontSize() const { return short(font().pointSize()); }
    void setFontSize(short points);
    QString fontName() const { return font().family(); }
    void setFontName(const QString& family);
    Skin::ColorScheme colorScheme() const { return m_colorScheme; }
    void setColorScheme(Skin::ColorScheme scheme);
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on);
    // The desktop's pointer codes: 0 the container's, 1 the arrow, ...,
    // 99 the mouse icon (or, with handPointer, the pointing hand).
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    const QPixmap& mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon);
    bool handPointer() const { return m_handPointer; }
    void setHandPointer(bool on);
    quintptr hwnd() const { return quintptr(effectiveWinId()); }
    bool softBevel() const { return m_softBevel; }
    void setSoftBevel(bool on);
    const QPixmap& pictureNormal() const { return m_pictureNormal; }
    void setPictureNormal(const QPixmap& picture);
    const QPixmap& pictureOver() const { return m_pictureOver; }
    void setPictureOver(const QPixmap& picture);
    Skin::PicturePosition picturePosition() const { return m_picturePosition; }
    void setPicturePosition(Skin::PicturePosition position);
    bool useMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool on);
    bool useGreyscale() const { return m_useGreyscale; }
    void setUseGreyscale(bool on);
    Skin::SpecialEffect specialEffect() const { return m_specialEffect; }
    void setSpecialEffect(Skin::SpecialEffect effect);
    QString version() const { return kVersion; }

    // The window's default button, pressed by Return and Enter anywhere in
    // its window that does not take them itself (a focused push button
    // does): the classic look draws a dark outline, the glossy one a bold
    // caption.
    bool isDefault() const { return m_default; }
    void setDefault(bool on);

    // Recomputes the shape and allows drawing again; disableRefresh() stops
    // drawing until then.
    void refresh();
    void disableRefresh();

    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

    // What the button shows now, for the container and for tests.
    SkinPalette colors() const;
    // The saved value: the checked state, kept while the button is no check box.
    bool value() const { return isCheckable() ? isChecked() : m_heldValue; }
    bool isDrawnPressed() const { return isDown() || (isCheckable() && isChecked()); }
    bool isOver() const { return m_over; }
    QSize sizeHint() const override;
    // Room for the whole caption and picture on one line.
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // Buttons and shift state in the desktop's codes: left 1, right 2,
    // middle 4; Shift 1, Ctrl 2, Alt 4.
    void mouseDown(short button, short shift, float x, float y);
    void mouseMove(short button, short shift, float x, float y);
    void mouseUp(short button, short shift, float x, float y);
    void keyPress(short keyAscii);
    // The desktop's key codes.
    void keyDown(short keyCode, short shift);
    void keyUp(short keyCode, short shift);
    void mouseOver();
    void mouseOut();
    void propertyChanged(const QString& key);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    template <typename T> void assign(T& member, const T& value, const char* key);
    void hover(bool over);
    void updateRegion();
    void updateCursor();
    void watchWindowForReturn();

    OleColor m_backColor;
    OleColor m_backOver;
    OleColor m_foreColor;
    OleColor m_foreOver;
    OleColor m_maskColor = 0xC0C0C0;
    Skin::ButtonType m_buttonType = Skin::ButtonType::Classic;
    Skin::ColorScheme m_colorScheme = Skin::ColorScheme::System;
    bool m_showFocusRect = true;
    int m_mousePointer = 0;
    QPixmap m_mouseIcon;
    bool m_handPointer = false;
    bool m_softBevel = false;
    QPixmap m_pictureNormal;
    QPixmap m_pictureOver;
    Skin::PicturePosition m_picturePosition = Skin::PicturePosition::Left;
    bool m_useMaskColor = true;
    bool m_useGreyscale = false;
    Skin::SpecialEffect m_specialEffect = Skin::SpecialEffect::None;
    bool m_default = false;
    bool m_heldValue = false;  // the value while the button is no check box

    bool m_over = false;
    bool m_focus = false;  // follows the focus events
    // The window whose unclaimed Return and Enter press this default button.
    QPointer<QWidget> m_returnWindow;
};
