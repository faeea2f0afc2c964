#include "controls/CEditUI.h"

#include <QLineEdit>
#include <QPalette>
#include <QRegularExpressionValidator>

#include "ui/AttributeValue.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {

CEditUI::CEditUI(QWidget* parent) : CControlUI(parent), m_edit(new QLineEdit(this)) {
    m_edit->setFrame(false);
    m_edit->setAttribute(Qt::WA_TranslucentBackground);
    // Transparent through the palette, not a style sheet: a sheet per field
    // costs a style-sheet polish of each of the pages' many fields.
    QPalette clear = m_edit->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    m_edit->setPalette(clear);
    WatchFocus(m_edit);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& typed) {
        // GetText answers what the field shows while the user types, so a
        // button that reads it before the focus leaves gets the typed text.
        CControlUI::SetText(typed);
        SendNotify(QString::fromLatin1(notify::kTextChanged));
    });
    connect(m_edit, &QLineEdit::returnPressed, this,
            [this] { SendNotify(QStringLiteral("return")); });
}

void CEditUI::TextChanged() {
    // An edit shows its characters as they are: its text is content, not an id.
    if (m_edit->text() != GetText()) {
        m_edit->setText(GetText());
    }
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    m_numberOnly = numberOnly;
    if (numberOnly) {
        m_edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]*")), m_edit));
    } else {
        m_edit->setValidator(nullptr);
    }
}

void CEditUI::SetMinMax(int minimum, int maximum) {
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
}

void CEditUI::SetMaxChar(int length) {
    m_edit->setMaxLength(length > 0 ? length : 32767);
}

int CEditUI::GetMaxChar() const {
    return m_edit->maxLength();
}

void CEditUI::SetReadOnly(bool readOnly) {
    m_edit->setReadOnly(readOnly);
}

void CEditUI::ClampToRange() {
    if (!m_numberOnly || (m_minimum == 0 && m_maximum == 0) || m_edit->text().isEmpty()) {
        return;
    }
    bool ok = false;
    const long long value = m_edit->text().toLongLong(&ok);
    const long long bounded = ok ? std::clamp<long long>(value, m_minimum, m_maximum) : m_maximum;
    if (!ok || bounded != value) {
        m_edit->setText(QString::number(bounded));
        CControlUI::SetText(m_edit->text());
        SendNotify(QString::fromLatin1(notify::kTextChanged));
    }
}

void CEditUI::BeforeKillFocus() {
    ClampToRange();
    CControlUI::SetText(m_edit->text());
}

bool CEditUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("tiptext")) {
        // Shown while the field is empty; a language id like every text.
        m_edit->setPlaceholderText(CResourceManager::Instance().GetText(value));
        return true;
    }
    if (key == QLatin1String("numberonly") || key == QLatin1String("readonly")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        key == QLatin1String("numberonly") ? SetNumberOnly(*flag) : SetReadOnly(*flag);
        return true;
    }
    if (key == QLatin1String("maxchar") || key == QLatin1String("minvalue") ||
        key == QLatin1String("maxvalue")) {
        const auto number = ParseInt(value);
        if (!number) {
            return false;
        }
        if (key == QLatin1String("maxchar")) {
            SetMaxChar(*number);
        } else if (key == QLatin1String("minvalue")) {
            m_minimum = *number;
        } else {
            m_maximum = *number;
        }
        return true;
    }
    return CControlUI::SetAttribute(name, value);
}

void CEditUI::ApplyScale() {
    CControlUI::ApplyScale();
    m_edit->setFont(ControlFont());
    if (HasOwnTextColor()) {
        QPalette colours = m_edit->palette();
        colours.setColor(QPalette::Text, GetTextColor());
        // A field that takes no input fades as the other controls do.
        QColor faded = GetTextColor();
        faded.setAlphaF(faded.alphaF() * kDisabledOpacity);
        colours.setColor(QPalette::Disabled, QPalette::Text, faded);
        m_edit->setPalette(colours);
    }
    m_edit->setGeometry(ContentRect());
}

void CEditUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    m_edit->setGeometry(ContentRect());
}

}  // namespace kx520::ui
