#include "pages/CDeviceKeyButtonUI.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/CResourceManager.h"
#include "ui/ImageString.h"

namespace kx520 {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : ui::CButtonUI(parent) {}

bool CDeviceKeyButtonUI::ShowLed(uint8_t red, uint8_t green, uint8_t blue, uint8_t level, bool repaint) {
    const uint32_t colour = red | (blue << 8) | (static_cast<uint32_t>(green) << 16);
    // An unchanged key is not painted again: 64 ticks a second of
    // repainting a whole keyboard would cost more than the frame.
    if (m_lit && m_lightColour == colour && m_lightLevel == level) {
        return false;
    }
    SetKeyLight(colour, level, true);
    if (repaint) {
        Invalidate();
    }
    return true;
}

void CDeviceKeyButtonUI::SetKeyLight(uint32_t colour, int level, bool lit) {
    m_lightColour = colour;
    m_lightLevel = level;
    m_lit = lit;
}

namespace {

constexpr double kLegendLargest = 10.0;
constexpr double kLegendSmallest = 6.0;
// The lit colour's luminance (0-255) above which a legend is drawn dark.
constexpr double kBrightCap = 140.0;

// The legend's font at this scale: the largest that fits `room`, else the
// smallest (the text is then cut short).
QFont LegendFont(QFont font, const QString& text, const QRect& room, double scale) {
    for (double size = kLegendLargest; size >= kLegendSmallest; size -= 0.5) {
        font.setPixelSize(std::max(1, static_cast<int>(size * scale)));
        // A pixel to spare: elision measures the text a little wider.
        if (QFontMetrics(font).horizontalAdvance(text) < room.width()) {
            return font;
        }
    }
    return font;
}

}  // namespace

void CDeviceKeyButtonUI::SetLegend(const QString& id) {
    if (m_legend == id) {
        return;
    }
    m_legend = id;
    m_layoutStale = true;
    Invalidate();
}

void CDeviceKeyButtonUI::ReloadText() {
    m_layoutStale = true;
    ui::CButtonUI::ReloadText();
}

void CDeviceKeyButtonUI::ApplyScale() {
    m_layoutStale = true;
    ui::CButtonUI::ApplyScale();
}

QString CDeviceKeyButtonUI::LegendText() const {
    // A cap prints a short legend where the key's name is long ("PgUp" for
    // "Page Up"): "keycap_" + the name's key, when the language has one.
    const auto& resources = ui::CResourceManager::Instance();
    static const QString prefix = QStringLiteral("keyboard_key_");
    if (m_legend.startsWith(prefix)) {
        const QString cap = QStringLiteral("keycap_") + m_legend.mid(prefix.size());
        if (resources.HasText(cap)) {
            return resources.GetText(cap);
        }
    }
    return resources.GetText(m_legend);
}

QRect CDeviceKeyButtonUI::LegendRoom() const {
    // Inside the cap's ring: a legend over the ring is lost in its light.
    const int side = std::max(1, qRound(4 * Scale()));
    return rect().adjusted(side, side, -side, -side);
}

const CDeviceKeyButtonUI::LegendLayout& CDeviceKeyButtonUI::Layout() const {
    const QRect room = LegendRoom();
    // Only a new legend, language, scale or size changes it: looking the
    // text up again on every frame was a tenth of a lit page's paint.
    if (!m_layoutStale && m_layout.room == room.size()) {
        return m_layout;
    }
    m_layoutStale = false;
    const QString text = m_legend.isEmpty() ? QString() : LegendText();
    const double scale = Scale();
    const QFont base = ControlFont();
    if (m_layout.text == text && m_layout.room == room.size() && m_layout.scale == scale &&
        m_layout.base == base) {
        return m_layout;
    }
    m_layout.text = text;
    m_layout.room = room.size();
    m_layout.scale = scale;
    m_layout.base = base;
    m_layout.font = LegendFont(base, text, room, scale);
    m_layout.shown = text.isEmpty() ? QString()
                                    : QFontMetrics(m_layout.font).elidedText(text, Qt::ElideRight, room.width());
    m_layout.prepared = QStaticText(m_layout.shown);
    m_layout.prepared.setTextFormat(Qt::PlainText);
    m_layout.prepared.prepare(QTransform(), m_layout.font);
    m_cap.LegendChanged();
    return m_layout;
}

QString CDeviceKeyButtonUI::ShownLegend() const {
    return Layout().shown;
}

QPointF CDeviceKeyButtonUI::LegendAt(const LegendLayout& layout) const {
    const QRect room = LegendRoom();
    const QSizeF size = layout.prepared.size();
    return {room.left() + (room.width() - size.width()) / 2.0, room.top() + (room.height() - size.height()) / 2.0};
}

void CDeviceKeyButtonUI::PaintText(QPainter& painter) {
    ui::CButtonUI::PaintText(painter);
    const LegendLayout& layout = Layout();
    if (layout.shown.isEmpty() || m_legendComposed) {
        return;
    }
    painter.setFont(layout.font);
    painter.setPen(LegendColour());
    // Shaped once per text and size: a lit keyboard repaints its caps on
    // every frame of an effect.
    painter.drawStaticText(LegendAt(layout), layout.prepared);
}

bool CDeviceKeyButtonUI::PaintLitCap(QPainter& painter) {
    const LegendLayout& layout = Layout();
    LitCapImage::Legend legend;
    if (!layout.shown.isEmpty()) {
        legend.text = &layout.prepared;
        legend.at = LegendAt(layout);
        legend.font = layout.font;
    }
    const LitCapImage::Look look{StatusImage(), m_lightImage, LightColour(), m_lightLevel, LegendColour()};
    if (!m_cap.Paint(painter, rect(), Scale(), look, legend)) {
        return false;
    }
    m_legendComposed = legend.text != nullptr;
    return true;
}

// The device packs a light as red, blue << 8, green << 16.
QColor CDeviceKeyButtonUI::LightColour() const {
    return QColor(m_lightColour & 0xFF, (m_lightColour >> 16) & 0xFF, (m_lightColour >> 8) & 0xFF);
}

QColor CDeviceKeyButtonUI::LegendColour() const {
    if (!m_lit || m_lightLevel <= 0 || (m_lightColour & 0xFFFFFF) == 0) {
        return QColor(184, 189, 200, 220);  // the dark cap
    }
    // Dark on a bright cap, white on a dim one: white on yellow could not be read.
    const QColor light = LightColour();
    const double level = std::clamp(m_lightLevel, 0, 256) / 256.0;
    const double luminance = level * (0.2126 * light.red() + 0.7152 * light.green() + 0.0722 * light.blue());
    return luminance > kBrightCap ? QColor(24, 26, 32, 235) : QColor(255, 255, 255, 235);
}

void CDeviceKeyButtonUI::SetKeySetImageHidden(bool hidden) {
    if (m_keySetHidden == hidden) {
        return;
    }
    m_keySetHidden = hidden;
    Invalidate();
}

bool CDeviceKeyButtonUI::SetAttribute(const QString& name, const QString& value) {
    m_layoutStale = true;  // a font or text attribute may change the legend
    if (name.compare(QLatin1String("lightimage"), Qt::CaseInsensitive) == 0) {
        m_lightImage = value;
        Invalidate();
        return true;
    }
    if (name.compare(QLatin1String("keysetimage"), Qt::CaseInsensitive) == 0) {
        m_keySetImage = value;
        Invalidate();
        return true;
    }
    return ui::CButtonUI::SetAttribute(name, value);
}

void CDeviceKeyButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        ui::CButtonUI::mouseDoubleClickEvent(event);
        return;
    }
    SetPushed(true);  // pushed and, by Qt's implicit grab, captured
    event->accept();
    SendNotify(QString::fromLatin1(ui::notify::kDbClick), 0, 0);
    Invalidate();
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& painter) {
    // A light that is off (black, or at level 0) shows the dark cap.
    const bool shining = m_lit && m_lightLevel > 0 && (m_lightColour & 0xFFFFFF) != 0;
    m_legendComposed = false;
    if (!shining) {
        ui::CButtonUI::PaintStatusImage(painter);
    } else if (!PaintLitCap(painter)) {
        ui::ImageTint tint;  // pictures that do not compose: drawn in layers
        tint.enabled = true;
        tint.colour = LightColour();
        tint.level = m_lightLevel;
        tint.under = StatusImage();
        ui::DrawImageString(painter, rect(), m_lightImage, Scale(), tint);
    }
    if (!m_keySetHidden) {
        ui::DrawImageString(painter, rect(), m_keySetImage, Scale());
    }
    if (m_selected) {
        // The key being edited: an accent ring around the cap.
        StrokeOutline(painter, QColor(47, 128, 237), 2 * Scale(), 7 * Scale());
    }
}

}  // namespace kx520
