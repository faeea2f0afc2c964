#include "ui/CControlUI.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "ui/AttributeValue.h"
#include "ui/ControlAttributes.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/ImageString.h"
#include "ui/RoundedFill.h"

namespace kx520::ui {

namespace {

int Scaled(int value, double scale) {
    return qRound(value * scale);
}

}  // namespace

CControlUI::CControlUI(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_StyledBackground, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

CControlUI::~CControlUI() {
    if (m_manager != nullptr) {
        m_manager->ControlDestroyed(this);
    }
}

void CControlUI::SetName(const QString& name) {
    m_name = name;
    setObjectName(name);
}

void CControlUI::SetText(const QString& text) {
    if (m_text == text) {
        return;
    }
    m_text = text;
    FitWidthToText();
    TextChanged();
}

QString CControlUI::GetDisplayText() const {
    if (m_plainText) {
        return m_text;
    }
    return CResourceManager::Instance().GetText(m_text);
}

void CControlUI::SetPlainText(bool plain) {
    m_plainText = plain;
    FitWidthToText();
    TextChanged();
}

void CControlUI::SetToolTip(const QString& text) {
    m_toolTip = text;
    setToolTip(CResourceManager::Instance().GetText(text));
}

void CControlUI::SetEnabled(bool enabled) {
    setEnabled(enabled);
    update();
}

void CControlUI::SetBkImage(const QString& image) {
    m_bkImage = image;
    update();
}

void CControlUI::SetBkColor(const QColor& colour) {
    m_bkColor = colour;
    update();
}

void CControlUI::SetBorder(const QColor& colour, int size, int round) {
    m_borderColor = colour;
    m_borderSize = size;
    m_borderRound = round;
    update();
}

void CControlUI::SetTextColor(const QColor& colour) {
    m_textColor = colour;
    update();
}

void CControlUI::SetFont(int id) {
    m_font = id;
    ApplyScale();
}

void CControlUI::SetTextAlign(Qt::Alignment align) {
    m_textAlign = align;
    update();
}

void CControlUI::SetFixedWidth(int width) {
    m_fixedSize.setWidth(width);
    ApplyFixedSize();
}

void CControlUI::SetFixedHeight(int height) {
    m_fixedSize.setHeight(height);
    ApplyFixedSize();
}

void CControlUI::SetMinSize(const QSize& size) {
    m_minSize = size;
    ApplyFixedSize();
}

void CControlUI::SetMaxSize(const QSize& size) {
    m_maxSize = size;
    ApplyFixedSize();
}

void CControlUI::SetInset(const QMargins& inset) {
    m_inset = inset;
    FitWidthToText();
    update();
}

void CControlUI::SetFloatPos(const QRect& pos) {
    m_floatPos = pos;
    ApplyFixedSize();
}

double CControlUI::Scale() const {
    return m_manager != nullptr ? m_manager->GetScale() : 1.0;
}

void CControlUI::ApplyFixedSize() {
    const double scale = Scale();
    const int width = m_fixedSize.width();
    const int height = m_fixedSize.height();
    setMinimumSize(std::max(0, Scaled(m_minSize.width(), scale)),
                   std::max(0, Scaled(m_minSize.height(), scale)));
    setMaximumSize(m_maxSize.width() > 0 ? Scaled(m_maxSize.width(), scale) : QWIDGETSIZE_MAX,
                   m_maxSize.height() > 0 ? Scaled(m_maxSize.height(), scale) : QWIDGETSIZE_MAX);
    if (width > 0) {
        QWidget::setFixedWidth(Scaled(width, scale));
    }
    if (height > 0) {
        QWidget::setFixedHeight(Scaled(height, scale));
    }
    setSizePolicy(width > 0 ? QSizePolicy::Fixed : QSizePolicy::Expanding,
                  height > 0 ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    if (m_float && m_floatPos.isValid()) {
        const QRect pos(Scaled(m_floatPos.left(), scale), Scaled(m_floatPos.top(), scale),
                        Scaled(m_floatPos.width(), scale), Scaled(m_floatPos.height(), scale));
        setGeometry(pos);
        QWidget::setFixedSize(pos.size());
    }
}

void CControlUI::ApplyScale() {
    FitWidthToText();
    ApplyFixedSize();
    setFont(ControlFont());
    for (CControlUI* child : ChildControls()) {
        child->ApplyScale();
    }
    update();
}

QFont CControlUI::ControlFont() const {
    return m_manager != nullptr ? m_manager->GetFont(m_font) : QWidget::font();
}

bool CControlUI::TextFits() const {
    const QString text = GetDisplayText();
    if (text.isEmpty()) {
        return true;
    }
    const QFontMetrics metrics(ControlFont());
    return metrics.horizontalAdvance(text) <= ContentRect().width();
}

QRect CControlUI::GetPos() const {
    const QWidget* top = window();
    return QRect(mapTo(top, QPoint(0, 0)), size());
}

QRect CControlUI::ContentRect() const {
    const double scale = Scale();
    return rect().adjusted(Scaled(m_inset.left(), scale), Scaled(m_inset.top(), scale),
                           -Scaled(m_inset.right(), scale), -Scaled(m_inset.bottom(), scale));
}

void CControlUI::SetMouseEnabled(bool enabled) {
    m_mouseEnabled = enabled;
    // Qt does not hand the flag down: every widget inside takes it too.
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    for (QWidget* inner : findChildren<QWidget*>()) {
        inner->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    }
}

bool CControlUI::ApplyStyle(const QString& styleName) {
    if (m_manager == nullptr) {
        return false;
    }
    const auto style = m_manager->GetStyle(styleName);
    if (!style) {
        return false;
    }
    for (const auto& [attribute, value] : *style) {
        if (attribute.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0 ||
            !SetAttribute(attribute, value)) {
            return false;
        }
    }
    return true;
}

bool CControlUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("style")) {
        return ApplyStyle(value);
    }
    if (key == QLatin1String("autowidth")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        m_autoWidth = *flag;
        FitWidthToText();
        return true;
    }
    return ControlAttributes::Apply(*this, key, value);
}

void CControlUI::SetManager(CPaintManagerUI* manager) {
    m_manager = manager;
    for (CControlUI* child : ChildControls()) {
        child->SetManager(manager);
    }
}

void CControlUI::FitWidthToText() {
    if (!m_autoWidth) {
        return;
    }
    // In layout pixels: the text at this scale, back at DPI 96, plus the inset.
    const double scale = Scale() > 0 ? Scale() : 1.0;
    const int textWidth = QFontMetrics(ControlFont()).horizontalAdvance(GetDisplayText());
    const int width = static_cast<int>(std::ceil(textWidth / scale)) + m_inset.left() + m_inset.right() + 1;
    if (width != m_fixedSize.width()) {
        SetFixedWidth(width);
    }
}

void CControlUI::ReloadText() {
    setToolTip(CResourceManager::Instance().GetText(m_toolTip));
    FitWidthToText();
    TextChanged();
    for (CControlUI* child : ChildControls()) {
        child->ReloadText();
    }
}

void CControlUI::SendNotify(const QString& type, quintptr wParam, qintptr lParam) {
    if (m_manager != nullptr) {
        m_manager->SendNotify(this, type, wParam, lParam);
    }
}

QList<CControlUI*> CControlUI::ChildControls() const {
    return findChildren<CControlUI*>(QString(), Qt::FindDirectChildrenOnly);
}

void CControlUI::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint point = event->globalPos();
    const qintptr packed = (static_cast<qintptr>(point.y() & 0xFFFF) << 16) | (point.x() & 0xFFFF);
    SendNotify(QString::fromLatin1(notify::kMenu), 0, packed);
    event->accept();
}

void CControlUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    SendNotify(QString::fromLatin1(notify::kDbClick));
    event->accept();
}

namespace {

// Focus that came from the keyboard is shown; a click shows where it went
// by itself.
bool KeyboardReason(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

}  // namespace

void CControlUI::focusInEvent(QFocusEvent* event) {
    m_focusRing = KeyboardReason(event->reason());
    update();
    SendNotify(QString::fromLatin1(notify::kSetFocus));
    QWidget::focusInEvent(event);
}

void CControlUI::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    update();
    BeforeKillFocus();
    SendNotify(QString::fromLatin1(notify::kKillFocus));
    QWidget::focusOutEvent(event);
}

void CControlUI::WatchFocus(QWidget* inner) {
    inner->installEventFilter(this);
}

bool CControlUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched != this && watched->parent() == this) {
        if (event->type() == QEvent::FocusIn) {
            m_focusRing = KeyboardReason(static_cast<QFocusEvent*>(event)->reason());
            update();
            SendNotify(QString::fromLatin1(notify::kSetFocus));
        } else if (event->type() == QEvent::FocusOut) {
            m_focusRing = false;
            update();
            BeforeKillFocus();
            SendNotify(QString::fromLatin1(notify::kKillFocus));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CControlUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_opaque) {
        painter.fillRect(rect(), BackgroundBehind());  // at full opacity, whatever the state
    }
    // One look for every kind of control that cannot be used now, unless
    // the skin gives it a picture of its own for that.
    if (!isEnabled() && !HasDisabledLook()) {
        painter.setOpacity(kDisabledOpacity);
    }
    PaintBkColor(painter);
    PaintBkImage(painter);
    PaintStatusImage(painter);
    PaintText(painter);
    PaintBorder(painter);
}

void CControlUI::SetOpaque(bool opaque) {
    m_opaque = opaque;
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

QColor CControlUI::BackgroundBehind() const {
    for (const QWidget* up = parentWidget(); up != nullptr; up = up->parentWidget()) {
        const auto* control = qobject_cast<const CControlUI*>(up);
        if (control != nullptr && control->m_bkColor.isValid() && control->m_bkColor.alpha() == 255) {
            return control->m_bkColor;
        }
    }
    return palette().color(QPalette::Window);
}

void CControlUI::PaintBkColor(QPainter& painter) {
    FillBackground(painter, m_bkColor);
}

void CControlUI::FillBackground(QPainter& painter, const QColor& colour) {
    if (!colour.isValid() || colour.alpha() == 0) {
        return;
    }
    if (m_borderRound > 0) {
        FillRounded(painter, rect(), m_borderRound * Scale(), colour);
        return;
    }
    painter.fillRect(rect(), colour);
}

void CControlUI::PaintBkImage(QPainter& painter) {
    DrawImageString(painter, rect(), m_bkImage, Scale());
}

void CControlUI::PaintStatusImage(QPainter&) {}

void CControlUI::PaintText(QPainter& painter) {
    if (m_text.isEmpty()) {
        return;  // no lookup for the many controls that show none
    }
    const QString text = GetDisplayText();
    if (text.isEmpty()) {
        return;
    }
    painter.setFont(ControlFont());
    painter.setPen(TextPaintColour());
    painter.drawText(ContentRect(), static_cast<int>(m_textAlign) | Qt::TextWordWrap, text);
}

QColor CControlUI::TextPaintColour() const {
    // A disabled control's text fades with the rest of it (paintEvent).
    return m_textColor.isValid() ? m_textColor : palette().color(QPalette::WindowText);
}

void CControlUI::StrokeOutline(QPainter& painter, const QColor& colour, double width,
                               double round) {
    painter.setPen(QPen(colour, width));
    painter.setBrush(Qt::NoBrush);
    const QRectF inner = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
    painter.drawRoundedRect(inner, round, round);
}

void CControlUI::PaintBorder(QPainter& painter) {
    if (m_focusRing) {
        PaintFocusRing(painter);
    }
    if (m_borderSize <= 0 || !m_borderColor.isValid()) {
        return;
    }
    StrokeOutline(painter, m_borderColor, m_borderSize * Scale(), m_borderRound * Scale());
}

void CControlUI::PaintFocusRing(QPainter& painter) {
    StrokeOutline(painter, QColor(0x3D, 0xA9, 0xFC), 2 * Scale(),
                  std::max(2.0, m_borderRound * Scale()));
}

}  // namespace kx520::ui
