#include "ui/CSliderUI.h"

#include <QSlider>

#include "ui/AttributeValue.h"

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
        return true;
    }
    if (const auto handled = SetRangeAttribute(*this, key, value)) {
        return *handled;
    }
    if (key == QLatin1String("step")) {
        return WithInt(value, [this](int v) { SetChangeStep(v); });
    }
    return CControlUI::SetAttribute(name, value);
}

void CSliderUI::ApplyScale() {
    CControlUI::ApplyScale();
    m_slider->setGeometry(ContentRect());
}

void CSliderUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    m_slider->setGeometry(ContentRect());
}

}  // namespace kx520::ui
