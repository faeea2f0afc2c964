#pragma once

#include "ui/CControlUI.h"

namespace kx520::ui {

// A button: "click" when the left button is released inside it (or Space or
// Enter while it has focus). Images per state: normalimage, hotimage,
// pushedimage, focusedimage, disabledimage; hottextcolor for hover.
class CButtonUI : public CControlUI {
    Q_OBJECT

public:
    explicit CButtonUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Button"); }

    bool IsHot() const { return m_hot; }
    bool IsPushed() const { return m_pushed; }
    void SetNormalImage(const QString& image);
    void SetHotImage(const QString& image);
    void SetPushedImage(const QString& image);
    bool SetAttribute(const QString& name, const QString& value) override;

    // What a click does; buttons notify, options also change their state.
    virtual void Activate();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void PaintStatusImage(QPainter& painter) override;
    // The image of the button's state: disabled, pushed, hot, focused or normal.
    const QString& StatusImage() const;
    bool HasDisabledLook() const override { return !m_disabledImage.isEmpty(); }
    void PaintText(QPainter& painter) override;
    // The text's colour in the current state; invalid: the control's own.
    virtual QColor StateTextColor() const;
    void SetPushed(bool pushed);

private:
    QString m_normalImage;
    QString m_hotImage;
    QString m_pushedImage;
    QString m_focusedImage;
    QString m_disabledImage;
    QColor m_hotTextColor;
    bool m_hot = false;
    bool m_pushed = false;
};

}  // namespace kx520::ui
