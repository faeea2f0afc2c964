#include "controls/CSliderUI.h"

#include <QSlider>

#include "ui/AttributeValue.h"
#include "ui/CResourceManager.h"
#include "ui/ImageString.h"

#include <algorithm>

namespace kx520::ui {

CSliderUI::CSliderUI(QWidget* parent) : CControlUI(parent), m_slider(new QSlider(Qt::Horizontal, this)) {
    setFocusProxy(m_slider);
    WatchFocus(m_slider);
    m_slider->setRange(0, 100);
    connect(m_slider, &QSlider::sliderMoved, this,
            [this](int) { SendNotify(QString::fromLatin1(notify::kMoveValueChanged)); });
    connect(m_slider, &QSlider::sliderReleased, this,
            [this] { SendNotify(QString::fromLatin1(notify::kValueChanged)); });
    // Keyboard and clicks on the track move the value in steps.
    connect(m_slider, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && action != QAbstractSlider::SliderNoAction) {
            QMetaObject::invokeMethod(
                this, [this] { SendNotify(QString::fromLatin1(notify::kValueChanged)); },
                Qt::QueuedConnection);
        }
    });
}

int CSliderUI::GetValue() const {
    return m_slider->value();
}

void CSliderUI::SetValue(int value) {
    m_slider->setValue(value);
}

int CSliderUI::GetMinValue() const {
    return m_slider->minimum();
}

int CSliderUI::GetMaxValue() const {
    return m_slider->maximum();
}

void CSliderUI::SetMinValue(int minimum) {
    m_slider->setMinimum(minimum);
}

void CSliderUI::SetMaxValue(int maximum) {
    m_slider->setMaximum(maximum);
}

void CSliderUI::SetChangeStep(int step) {
    m_slider->setSingleStep(step);
    m_slider->setPageStep(step);
}

bool CSliderUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("hor")) {
        const auto horizontal = ParseBool(value);
        if (!horizontal) {
            return false;
        }
        m_slider->setOrientation(*horizontal ? Qt::Horizontal : Qt::Vertical);
        ApplyScale();
        return true;
    }
    if (const auto handled = SetRangeAttribute(*this, key, value)) {
        return *handled;
    }
    if (key == QLatin1String("step")) {
        return WithInt(value, [this](int v) { SetChangeStep(v); });
    }
    if (key == QLatin1String("trackcolor") || key == QLatin1String("fillcolor") ||
        key == QLatin1String("thumbcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        (key == QLatin1String("trackcolor")  ? m_trackColor
         : key == QLatin1String("fillcolor") ? m_fillColor
                                             : m_thumbColor) = *colour;
        ApplyScale();
        return true;
    }
    if (key == QLatin1String("trackimage") || key == QLatin1String("fillimage") ||
        key == QLatin1String("thumbimage")) {
        (key == QLatin1String("trackimage")  ? m_trackImage
         : key == QLatin1String("fillimage") ? m_fillImage
                                             : m_thumbImage) = value;
        ApplyScale();
        return true;
    }
    if (key == QLatin1String("thumbsize") || key == QLatin1String("trackheight")) {
        const auto size = ParseInt(value);
        if (!size || *size < 1 || *size > 200) {
            return false;
        }
        (key == QLatin1String("thumbsize") ? m_thumbSize : m_trackHeight) = *size;
        ApplyScale();
        return true;
    }
    return CControlUI::SetAttribute(name, value);
}

namespace {

// A colour, or an image file stretched over the part.
QString Paint(const QColor& colour, const QString& image) {
    if (!image.isEmpty()) {
        const QString path = CResourceManager::Instance().ResolvePath(ImageString::Parse(image).file);
        return QStringLiteral("border-image: url(\"%1\");").arg(path);
    }
    return QStringLiteral("background: %1;").arg(colour.name(QColor::HexArgb));
}

}  // namespace

QString CSliderUI::SkinStyleSheet() const {
    const double scale = Scale() > 0 ? Scale() : 1.0;
    const int thumb = std::max(1, qRound(m_thumbSize * scale));
    const int track = std::max(1, qRound(m_trackHeight * scale));
    const int overhang = std::max(0, (thumb - track) / 2);
    const bool horizontal = m_slider->orientation() == Qt::Horizontal;
    const QString axis = horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical");
    const QString across = horizontal ? QStringLiteral("height") : QStringLiteral("width");
    const QString along = horizontal ? QStringLiteral("width") : QStringLiteral("height");
    const QString margin = horizontal ? QStringLiteral("-%1px 0").arg(overhang)
                                      : QStringLiteral("0 -%1px").arg(overhang);
    // The filled part is before the thumb: "sub-page" lying, "add-page" standing.
    const QString filled = horizontal ? QStringLiteral("sub-page") : QStringLiteral("add-page");
    const QString empty = horizontal ? QStringLiteral("add-page") : QStringLiteral("sub-page");
    return QStringLiteral(
               "QSlider::groove:%1 { %2 %3: %4px; border-radius: %5px; }"
               "QSlider::%6:%1 { %7 border-radius: %5px; }"
               "QSlider::%8:%1 { %2 border-radius: %5px; }"
               "QSlider::handle:%1 { %9 %10: %11px; margin: %12; border-radius: %13px; }")
        .arg(axis, Paint(m_trackColor, m_trackImage), across)
        .arg(track)
        .arg(track / 2)
        .arg(filled, Paint(m_fillColor, m_fillImage), empty, Paint(m_thumbColor, m_thumbImage),
             along)
        .arg(thumb)
        .arg(margin)
        .arg(thumb / 2);
}

void CSliderUI::ApplyScale() {
    CControlUI::ApplyScale();
    m_slider->setGeometry(ContentRect());
    // Styled once seen: a sheet costs a polish, and most sliders are on
    // tabs not shown.
    m_sheetStale = true;
    if (isVisible()) {
        ApplySheet();
    }
}

void CSliderUI::ApplySheet() {
    if (!m_sheetStale) {
        return;
    }
    m_sheetStale = false;
    const QString sheet = SkinStyleSheet();
    if (sheet != m_slider->styleSheet()) {
        m_slider->setStyleSheet(sheet);
    }
}

void CSliderUI::showEvent(QShowEvent* event) {
    ApplySheet();
    CControlUI::showEvent(event);
}

void CSliderUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    m_slider->setGeometry(ContentRect());
}

}  // namespace kx520::ui
