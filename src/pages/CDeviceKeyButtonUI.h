#pragma once

#include <QStaticText>

#include <QFont>
#include <cstdint>

#include "controls/CButtonUI.h"
#include "pages/LitCapImage.h"

namespace kx520 {

// One key or LED of a device picture: a button that also shows the key's
// live light (its light image tinted with the light colour at the light
// level) and, when the key's assignment is not its own, the key-set image.
// The selection panel marks it selected for the per-key light editors.
class CDeviceKeyButtonUI : public ui::CButtonUI {
    Q_OBJECT

public:
    static constexpr uint32_t kDefaultLightColour = 255;
    static constexpr int kDefaultLightLevel = 200;

    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("DeviceKeyButton"); }

    // Colour packed as the device base packs it: red in bits 0-7, blue in
    // 8-15, green in 16-23 (so the default 255 is red); level out of 256.
    // No repaint of its own: the device repaints after a whole frame.
    void SetKeyLight(uint32_t colour, int level, bool lit);
    // Shows a frame's LED (lit); repaints only when it changed. Whether it did.
    bool ShowLed(uint8_t red, uint8_t green, uint8_t blue, uint8_t level, bool repaint = true);
    uint32_t GetLightColour() const { return m_lightColour; }
    int GetLightLevel() const { return m_lightLevel; }
    bool IsLit() const { return m_lit; }
    // Repaints only when the value changes.
    void SetKeySetImageHidden(bool hidden);
    bool IsKeySetImageHidden() const { return m_keySetHidden; }
    // No repaint.
    void SetKeySelected(bool selected) { m_selected = selected; }
    bool IsKeySelected() const { return m_selected; }
    // The press became a drag over the keys: no click when it is released.
    void CancelPress() { SetPushed(false); }
    const QString& GetLightImage() const { return m_lightImage; }
    const QString& GetKeySetImage() const { return m_keySetImage; }

    // The key's own name drawn on its cap (a language id, resolved when
    // painted): as large as fits, down to a small size, then cut short.
    void SetLegend(const QString& id);
    const QString& GetLegend() const { return m_legend; }
    // The legend as it is drawn at the button's size; "" when it has none.
    QString ShownLegend() const;
    // The text a cap prints for its legend.
    QString LegendText() const;
    // Whether the whole legend fits on the cap.
    bool LegendFits() const { return ShownLegend() == LegendText(); }
    // The legend's pen: grey on a dark cap, then dark or white by the lit
    // colour's luminance, so it reads on yellow as on blue.
    QColor LegendColour() const;

    bool SetAttribute(const QString& name, const QString& value) override;
    void ReloadText() override;
    void ApplyScale() override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void PaintStatusImage(QPainter& painter) override;
    void PaintText(QPainter& painter) override;

private:
    QRect LegendRoom() const;
    QColor LightColour() const;
    // The legend's font and shown text, measured once for its text, room
    // and scale (a frame repaints every lit key 64 times a second).
    struct LegendLayout {
        QString text;
        QSize room;
        double scale = 0;
        QFont base;
        QFont font;
        QString shown;
        QStaticText prepared;  // `shown`, shaped once
    };
    const LegendLayout& Layout() const;
    // Where the legend's prepared text is drawn, centred in its room.
    QPointF LegendAt(const LegendLayout& layout) const;
    // The lit cap with its legend as one image; false where it cannot be.
    bool PaintLitCap(QPainter& painter);


    QString m_lightImage;
    QString m_keySetImage;
    QString m_legend;
    bool m_lit = false;
    uint32_t m_lightColour = kDefaultLightColour;
    int m_lightLevel = kDefaultLightLevel;
    bool m_keySetHidden = true;
    bool m_selected = false;
    mutable LegendLayout m_layout;
    mutable bool m_layoutStale = true;
    mutable LitCapImage m_cap;
    bool m_legendComposed = false;  // this paint's cap holds the legend
};

}  // namespace kx520
