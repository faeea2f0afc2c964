#pragma once

#include <QColor>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "ui/Notification.h"

class QPainter;

namespace kx520::ui {

class CPaintManagerUI;

// The base of every skin control: a widget with a name, a text (a text id
// that the language resolves, unless the control is in plain-text mode),
// user data, tooltip, visibility, enabled state, background colour and
// image, border, fixed size (in layout pixels, scaled by the window's DPI),
// inner spacing, and an optional fixed position inside its parent ("float").
// Painting goes in steps that subclasses refine: background colour,
// background image, status image, text, border.
class CControlUI : public QWidget {
    Q_OBJECT

public:
    explicit CControlUI(QWidget* parent = nullptr);
    ~CControlUI() override;

    // The class text, which is also the skin tag ("Control", "Button", ...).
    virtual QString GetClass() const { return QStringLiteral("Control"); }

    const QString& GetName() const { return m_name; }
    void SetName(const QString& name);
    // The text as given (possibly a text id).
    const QString& GetText() const { return m_text; }
    virtual void SetText(const QString& text);
    // What is shown: the language's text for an id, the characters otherwise.
    QString GetDisplayText() const;
    bool IsPlainText() const { return m_plainText; }
    void SetPlainText(bool plain);
    const QString& GetUserData() const { return m_userData; }
    void SetUserData(const QString& data) { m_userData = data; }
    const QString& GetToolTip() const { return m_toolTip; }
    void SetToolTip(const QString& text);
    bool IsVisible() const { return !isHidden(); }
    virtual void SetVisible(bool visible) { setVisible(visible); }
    bool IsEnabled() const { return isEnabled(); }
    virtual void SetEnabled(bool enabled);

    const QString& GetBkImage() const { return m_bkImage; }
    void SetBkImage(const QString& image);
    QColor GetBkColor() const { return m_bkColor; }
    void SetBkColor(const QColor& colour);
    void SetBorder(const QColor& colour, int size, int round);
    QColor GetBorderColor() const { return m_borderColor; }
    int GetBorderSize() const { return m_borderSize; }
    int GetBorderRound() const { return m_borderRound; }
    // An opaque control paints every pixel of its rectangle, its rounded
    // corners in the colour of the nearest ancestor's background, so what
    // lies behind it is not painted again when it repaints (a lit keyboard
    // repaints its panel 25 times a second). For a control on a plain
    // background.
    void SetOpaque(bool opaque);
    bool IsOpaque() const { return m_opaque; }
    QColor GetTextColor() const { return m_textColor; }
    void SetTextColor(const QColor& colour);
    void SetFont(int id);
    int GetFontId() const { return m_font; }
    void SetTextAlign(Qt::Alignment align);

    // Fixed size in layout pixels; 0 leaves that dimension to the layout.
    void SetFixedWidth(int width);
    void SetFixedHeight(int height);
    int GetFixedWidth() const { return m_fixedSize.width(); }
    int GetFixedHeight() const { return m_fixedSize.height(); }
    void SetMinSize(const QSize& size);
    void SetMaxSize(const QSize& size);
    // Inner spacing between the edge and the content.
    const QMargins& GetInset() const { return m_inset; }
    virtual void SetInset(const QMargins& inset);
    // A floating control sits at `pos` inside its parent, outside any layout.
    bool IsFloat() const { return m_float; }
    void SetFloat(bool floating) { m_float = floating; }
    const QRect& GetFloatPos() const { return m_floatPos; }
    void SetFloatPos(const QRect& pos);
    // The control's rectangle in its window's coordinates.
    QRect GetPos() const;

    // One skin attribute; false for an attribute this control does not know
    // or a value it cannot read.
    virtual bool SetAttribute(const QString& name, const QString& value);

    CPaintManagerUI* GetManager() const { return m_manager; }
    // Attaches this control and its children to a window's manager.
    virtual void SetManager(CPaintManagerUI* manager);
    // Sizes, positions and fonts again at the manager's scale.
    virtual void ApplyScale();
    // Texts again after a language change.
    virtual void ReloadText();
    void SendNotify(const QString& type, quintptr wParam = 0, qintptr lParam = 0);

    // Whether the shown text fits the room inside the insets, in the font it
    // is drawn with; a text that does not is cut off on screen.
    virtual bool TextFits() const;

    // Mouse input for this control and everything inside it ("mouse"): a
    // locked page takes none, and clicks fall through to what lies beneath.
    void SetMouseEnabled(bool enabled);
    bool IsMouseEnabled() const { return m_mouseEnabled; }
    // The attributes of a named style of the manager ("style"); false for an
    // unknown style, a control without a manager yet, or a bad attribute.
    bool ApplyStyle(const QString& styleName);

    // The keyboard moved the focus here (a ring shows it).
    bool HasFocusRing() const { return m_focusRing; }

    // The direct child controls, in order.
    virtual QList<CControlUI*> ChildControls() const;
    // Asks for a repaint.
    virtual void Invalidate() { update(); }

    // How much of a control shows while it is disabled.
    static constexpr double kDisabledOpacity = 0.4;

protected:
    void paintEvent(QPaintEvent* event) override;
    // True where the control draws its disabled state itself (a skin's
    // disabled image); otherwise it is drawn faded.
    virtual bool HasDisabledLook() const { return false; }
    // "menu", with the screen point packed in lParam (x low 16 bits, y high).
    void contextMenuEvent(QContextMenuEvent* event) override;
    // "dbclick" for a double click with the left button.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // "setfocus" and "killfocus" when the control, or the Qt widget inside it
    // that takes its input (see WatchFocus), gains or loses the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void WatchFocus(QWidget* inner);
    // Runs just before "killfocus" is sent.
    virtual void BeforeKillFocus() {}
    virtual void PaintBkColor(QPainter& painter);
    virtual void PaintBkImage(QPainter& painter);
    virtual void PaintStatusImage(QPainter& painter);
    virtual void PaintText(QPainter& painter);
    virtual void PaintBorder(QPainter& painter);
    // The ring around a control the keyboard moved the focus to.
    void PaintFocusRing(QPainter& painter);
    // The text's colour as drawn: its own or the palette's, faded when disabled.
    QColor TextPaintColour() const;
    // A rounded outline just inside the control's edge.
    void StrokeOutline(QPainter& painter, const QColor& colour, double width, double round);
    // Fills the control's shape (rounded by "borderround") with `colour`.
    void FillBackground(QPainter& painter, const QColor& colour);
    // The colour an opaque control's corners take: the nearest ancestor's
    // solid background, else the window's.
    QColor BackgroundBehind() const;
    // Called when the shown text changes (language, SetText).
    virtual void TextChanged() { update(); }
    double Scale() const;
    QRect ContentRect() const;
    QFont ControlFont() const;
    bool HasOwnTextColor() const { return m_textColor.isValid(); }
    Qt::Alignment TextAlign() const { return m_textAlign; }

private:
    void ApplyFixedSize();
    // "autowidth": as wide as the text.
    void FitWidthToText();

    CPaintManagerUI* m_manager = nullptr;
    QString m_name;
    QString m_text;
    bool m_plainText = false;
    bool m_focusRing = false;
    bool m_mouseEnabled = true;
    QString m_userData;
    QString m_toolTip;
    QString m_bkImage;
    QColor m_bkColor;
    QColor m_borderColor;
    int m_borderSize = 0;
    int m_borderRound = 0;
    bool m_opaque = false;
    QColor m_textColor;
    int m_font = -1;
    Qt::Alignment m_textAlign = Qt::AlignCenter;
    QSize m_fixedSize;
    QSize m_minSize;
    QSize m_maxSize;
    QMargins m_inset;
    bool m_float = false;
    bool m_autoWidth = false;
    QRect m_floatPos;
};

}  // namespace kx520::ui
