// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/SkinPalette.h"

#include <QAccessible>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class PropertyBag;

// The program's own push button: it paints itself in one of fourteen
// looks and four colour schemes, may carry pictures, has hover colours,
// and can act as a check box. Its properties and events keep the names
// the forms use; every property with a saved key reports a change through
// propertyChanged(key).
class SkinButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint BackOver READ BackOver WRITE setBackOver)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(uint ForeOver READ ForeOver WRITE setForeOver)
    Q_PROPERTY(uint MaskColor READ MaskColor WRITE setMaskColor)
    Q_PROPERTY(int ButtonType READ ButtonType WRITE setButtonType)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(short FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(int ColorScheme READ ColorScheme WRITE setColorScheme)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool HandPointer READ HandPointer WRITE setHandPointer)
    Q_PROPERTY(quintptr hwnd READ hwnd)
    Q_PROPERTY(bool SoftBevel READ SoftBevel WRITE setSoftBevel)
    Q_PROPERTY(QPixmap PictureNormal READ PictureNormal WRITE setPictureNormal)
    Q_PROPERTY(QPixmap PictureOver READ PictureOver WRITE setPictureOver)
    Q_PROPERTY(int PicturePosition READ PicturePosition WRITE setPicturePosition)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(bool UseGreyscale READ UseGreyscale WRITE setUseGreyscale)
    Q_PROPERTY(int SpecialEffect READ SpecialEffect WRITE setSpecialEffect)
    Q_PROPERTY(bool CheckBoxBehaviour READ CheckBoxBehaviour WRITE setCheckBoxBehaviour)
    Q_PROPERTY(bool value READ value WRITE setValue)
    Q_PROPERTY(QString Version READ Version CONSTANT)

public:
    static const QString kVersion;  // "2.0.6"
    enum class State { Normal, Pressed };
    enum Position { PictureLeft, PictureRight, PictureAbove, PictureBelow, PictureBehind };

    // A new button: type 2, scheme 1, the scheme's colours, the name as caption.
    explicit SkinButton(const QString& name = {}, QWidget* parent = nullptr);
    explicit SkinButton(QWidget* parent) : SkinButton(QString(), parent) { }

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    OleColor BackOver() const { return m_backOver; }
    void setBackOver(OleColor color);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor color);
    OleColor ForeOver() const { return m_foreOver; }
    void setForeOver(OleColor color);
    OleColor MaskColor() const { return m_maskColor; }
    void setMaskColor(OleColor color);
    int ButtonType() const { return m_buttonType; }
    void setButtonType(int type);
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool FontBold() const { return font().bold(); }
    void setFontBold(bool on);
    bool FontItalic() const { return font().italic(); }
    void setFontItalic(bool on);
    bool FontUnderline() const { return font().underline(); }
    void setFontUnderline(bool on);
    short FontSize() const { return short(font().pointSize()); }
    void setFontSize(short points);
    QString FontName() const { return font().family(); }
    void setFontName(const QString& family);
    int ColorScheme() const { return m_colorScheme; }
    void setColorScheme(int scheme);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    const QPixmap& MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon);
    bool HandPointer() const { return m_handPointer; }
    void setHandPointer(bool on);
    quintptr hwnd() const { return quintptr(effectiveWinId()); }
    bool SoftBevel() const { return m_softBevel; }
    void setSoftBevel(bool on);
    const QPixmap& PictureNormal() const { return m_pictureNormal; }
    void setPictureNormal(const QPixmap& picture);
    const QPixmap& PictureOver() const { return m_pictureOver; }
    void setPictureOver(const QPixmap& picture);
    int PicturePosition() const { return m_picturePosition; }
    void setPicturePosition(int position);
    bool UseMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool on);
    bool UseGreyscale() const { return m_useGreyscale; }
    void setUseGreyscale(bool on);
    int SpecialEffect() const { return m_specialEffect; }
    void setSpecialEffect(int effect);
    bool CheckBoxBehaviour() const { return m_checkBoxBehaviour; }
    void setCheckBoxBehaviour(bool on);
    bool value() const { return m_value; }
    void setValue(bool on);
    QString Version() const { return kVersion; }

    // The window's default button, pressed by Return and Enter anywhere in
    // its window that does not take them itself (a focused push button
    // does): type 2 draws a dark outline, type 14 a bold caption.
    bool isDefault() const { return m_default; }
    void setDefault(bool on);

    void Refresh();
    void DisableRefresh();

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // What the button shows now, for the container and for tests.
    SkinPalette colors() const;
    State drawnState() const { return m_drawnState; }
    QSize sizeHint() const override;
    // Room for the whole caption and picture on one line.
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void Click();
    void MouseDown(short Button, short Shift, float X, float y);
    void MouseMove(short Button, short Shift, float X, float y);
    void MouseUp(short Button, short Shift, float X, float y);
    void KeyPress(short KeyAscii);
    void KeyDown(short KeyCode, short Shift);
    void KeyUp(short KeyCode, short Shift);
    void MouseOver();
    void MouseOut();
    void propertyChanged(const QString& key);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class SkinButtonAccessible;

    template <typename T> void assign(T& member, const T& value, const char* key);
    void draw(State state, bool force = false);
    void press();
    void click();
    void hover(bool over);
    // Whether a point of the widget is on the button's shape.
    bool hits(QPoint point) const { return mask().isEmpty() ? rect().contains(point) : mask().contains(point); }
    void layOutCaption();
    void updateRegion();
    void updateCursor();
    void watchWindowForReturn();
    void tellAccessibility(QAccessible::Event what);

    OleColor m_backColor;
    OleColor m_backOver;
    OleColor m_foreColor;
    OleColor m_foreOver;
    OleColor m_maskColor = 0xC0C0C0;
    int m_buttonType = 2;
    QString m_caption;
    int m_colorScheme = 1;
    bool m_showFocusRect = true;
    int m_mousePointer = 0;
    QPixmap m_mouseIcon;
    bool m_handPointer = false;
    bool m_softBevel = false;
    QPixmap m_pictureNormal;
    QPixmap m_pictureOver;
    int m_picturePosition = PictureLeft;
    bool m_useMaskColor = true;
    bool m_useGreyscale = false;
    int m_specialEffect = 0;
    bool m_checkBoxBehaviour = false;
    bool m_value = false;
    bool m_default = false;

    bool m_over = false;
    bool m_focus = false;
    Qt::MouseButton m_lastButton = Qt::NoButton;
    int m_lastKey = 0;
    bool m_refresh = true;
    State m_drawnState = State::Normal;
    QString m_drawnCaption;
    int m_shortcutId = 0;
    // The window whose unclaimed Return and Enter press this default button.
    QPointer<QWidget> m_returnWindow;
};
