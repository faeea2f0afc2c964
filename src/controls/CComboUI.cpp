#include "controls/CComboUI.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QListView>
#include <algorithm>

#include "ui/AttributeValue.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {

CComboUI::CComboUI(QWidget* parent) : CControlUI(parent), m_combo(new QComboBox(this)) {
    // A list view takes the style sheet's row height and can hide rows.
    m_combo->setView(new QListView(m_combo));
    setFocusProxy(m_combo);
    WatchFocus(m_combo);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int old = m_current;
        m_current = index;
        if (!m_silent && old != index) {
            SendNotify(QString::fromLatin1(notify::kItemSelect), static_cast<quintptr>(index),
                       old);
        }
    });
}

QString CComboUI::ShownText(const QString& text, bool plain) {
    // A user's own name is shown as typed; anything else is a text id.
    return plain ? text : CResourceManager::Instance().GetText(text);
}

int CComboUI::AddItem(const QString& text, const QString& userData) {
    m_texts.append(text);
    m_plain.append(false);
    return Append(ShownText(text, false), userData);
}

int CComboUI::AddPlainItem(const QString& text, const QString& userData) {
    m_texts.append(text);
    m_plain.append(true);  // nothing to translate
    return Append(text, userData);
}

int CComboUI::Append(const QString& shown, const QString& userData) {
    m_silent = true;
    m_combo->addItem(shown, userData);
    m_current = m_combo->currentIndex();
    m_silent = false;
    const int index = m_combo->count() - 1;
    if (index == m_pendingSelection) {
        SelectItem(index, false);
        m_pendingSelection = -1;
    }
    return index;
}

int CComboUI::InsertItem(int index, const QString& text, const QString& userData, bool plain) {
    if (index < 0 || index >= m_combo->count()) {
        return plain ? AddPlainItem(text, userData) : AddItem(text, userData);
    }
    m_texts.insert(index, text);
    m_plain.insert(index, plain);
    m_silent = true;
    m_combo->insertItem(index, ShownText(text, plain), userData);
    m_current = m_combo->currentIndex();
    m_silent = false;
    return index;
}

bool CComboUI::RemoveItem(int index) {
    if (index < 0 || index >= m_combo->count()) {
        return false;
    }
    const bool wasCurrent = index == m_current;
    m_texts.removeAt(index);
    m_plain.removeAt(index);
    m_silent = true;
    m_combo->removeItem(index);
    // Qt moves the selection to a neighbour; the user chose the item gone.
    if (wasCurrent) {
        m_combo->setCurrentIndex(-1);
    }
    m_current = m_combo->currentIndex();
    m_silent = false;
    return true;
}

bool CComboUI::SetItemText(int index, const QString& text) {
    if (index < 0 || index >= m_combo->count()) {
        return false;
    }
    m_texts[index] = text;
    m_combo->setItemText(index, ShownText(text, m_plain.value(index)));
    return true;
}

bool CComboUI::SetItemUserData(int index, const QString& userData) {
    if (index < 0 || index >= m_combo->count()) {
        return false;
    }
    m_combo->setItemData(index, userData);
    return true;
}

bool CComboUI::SetItemVisible(int index, bool visible) {
    auto* view = qobject_cast<QListView*>(m_combo->view());
    if (index < 0 || index >= m_combo->count() || view == nullptr) {
        return false;
    }
    view->setRowHidden(index, !visible);
    return true;
}

bool CComboUI::IsItemVisible(int index) const {
    const auto* view = qobject_cast<const QListView*>(m_combo->view());
    return index >= 0 && index < m_combo->count() && view != nullptr && !view->isRowHidden(index);
}

void CComboUI::SetItemHeight(int height) {
    m_itemHeight = std::max(0, height);
    ApplyScale();
}

void CComboUI::RemoveAll() {
    m_silent = true;
    m_combo->clear();
    m_silent = false;
    m_texts.clear();
    m_plain.clear();
    m_current = -1;
}

int CComboUI::GetCount() const {
    return m_combo->count();
}

bool CComboUI::SelectItem(int index, bool notify) {
    if (index < -1 || index >= m_combo->count()) {
        return false;
    }
    m_silent = !notify;
    m_combo->setCurrentIndex(index);
    m_current = index;
    m_silent = false;
    return true;
}

QString CComboUI::GetItemText(int index) const {
    return index >= 0 && index < m_texts.size() ? m_texts[index] : QString();
}

QString CComboUI::GetItemUserData(int index) const {
    return index >= 0 && index < m_combo->count() ? m_combo->itemData(index).toString()
                                                  : QString();
}

bool CComboUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("itemheight"), Qt::CaseInsensitive) == 0) {
        const auto height = ParseInt(value);
        if (!height || *height < 0) {
            return false;
        }
        SetItemHeight(*height);
        return true;
    }
    if (name.compare(QLatin1String("cursel"), Qt::CaseInsensitive) == 0) {
        const auto index = ParseInt(value);
        if (!index || *index < 0) {
            return false;
        }
        if (!SelectItem(*index, false)) {
            m_pendingSelection = *index;
        }
        return true;
    }
    return CControlUI::SetAttribute(name, value);
}

void CComboUI::ApplyScale() {
    CControlUI::ApplyScale();
    m_combo->setFont(ControlFont());
    // The list is a window of its own: it inherits no font from the combo.
    m_combo->view()->setFont(ControlFont());
    FitListToScreen();
    m_combo->setGeometry(ContentRect());
    // The drop-down takes the skin's colours rather than the desktop's.
    const double scale = Scale();
    const QColor back = GetBkColor().isValid() ? GetBkColor() : QColor(0x23, 0x26, 0x2E);
    const QColor text = HasOwnTextColor() ? GetTextColor() : QColor(0xE8, 0xEA, 0xF0);
    // The skin's own arrow, drawn for 1x and 2x, at its layout size.
    const QString arrow = CResourceManager::Instance().ResolvePath(
        scale * devicePixelRatioF() > 1.25 ? QStringLiteral("common/combo_arrow@2x.png")
                                           : QStringLiteral("common/combo_arrow.png"));
    const QString rowHeight =
        m_itemHeight > 0 ? QStringLiteral("min-height: %1px;").arg(qRound(m_itemHeight * scale))
                         : QString();
    const QString sheet =
        // combobox-popup 0: a list that drops below (or above) the combo and
        // scrolls, not one laid over it as tall as it needs.
        QStringLiteral("QComboBox { background: %1; color: %2; border: none; border-radius: %3px;"
                       " padding-left: %4px; combobox-popup: 0; }"
                       "QComboBox::drop-down { border: none; width: %5px; }"
                       "QComboBox::down-arrow { image: url(\"%6\"); width: %7px; height: %8px; }"
                       "QComboBox QAbstractItemView { background: %1; color: %2;"
                       " selection-background-color: #2F80ED; border: none; outline: none; }"
                       "QComboBox QAbstractItemView::item { %9 padding-left: %4px; }")
            .arg(back.name(QColor::HexArgb), text.name(QColor::HexArgb))
            .arg(qRound(6 * scale))
            .arg(qRound(8 * scale))
            .arg(qRound(22 * scale))
            .arg(arrow)
            .arg(qRound(10 * scale))
            .arg(qRound(6 * scale))
            .arg(rowHeight);
    // Setting a style sheet restyles the whole combo: only when it changed,
    // and only once the combo is seen (a page's hidden tabs hold most of them).
    m_pendingSheet = sheet;
    if (isVisible()) {
        ApplyPendingSheet();
    }
}

// As many rows as a third of the screen holds (at least five, at most
// twelve): the list scrolls rather than run off the screen.
void CComboUI::FitListToScreen() {
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const double scale = Scale() > 0 ? Scale() : 1.0;
    const int row = std::max(1, qRound((m_itemHeight > 0 ? m_itemHeight : 24) * scale));
    const int room = shown != nullptr ? shown->availableGeometry().height() / 3 : 12 * row;
    m_combo->setMaxVisibleItems(std::clamp(room / row, 5, 12));
}

void CComboUI::ApplyPendingSheet() {
    if (m_pendingSheet != m_styleSheet) {
        m_styleSheet = m_pendingSheet;
        m_combo->setStyleSheet(m_styleSheet);
    }
}

void CComboUI::showEvent(QShowEvent* event) {
    ApplyPendingSheet();
    CControlUI::showEvent(event);
}

void CComboUI::ReloadText() {
    for (int i = 0; i < m_texts.size() && i < m_combo->count(); ++i) {
        if (!m_plain.value(i)) {
            m_combo->setItemText(i, CResourceManager::Instance().GetText(m_texts[i]));
        }
    }
    CControlUI::ReloadText();
}

void CComboUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    m_combo->setGeometry(ContentRect());
}

}  // namespace kx520::ui
