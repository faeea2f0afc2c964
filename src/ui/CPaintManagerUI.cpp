#include "ui/CPaintManagerUI.h"

#include <QTimer>

#include "ui/CControlUI.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {

namespace {

CControlUI* FindIn(const CControlUI* parent, const QString& name, Qt::CaseSensitivity cs) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (CControlUI* child : parent->findChildren<CControlUI*>()) {
        if (QString::compare(child->GetName(), name, cs) == 0) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
    CResourceManager::Instance().AddManager(this);
    m_defaultFont.face = QStringLiteral("DejaVu Sans");
}

CPaintManagerUI::~CPaintManagerUI() {
    CResourceManager::Instance().RemoveManager(this);
    // Controls that outlive their manager must not report to it.
    DetachRoot();
}

void CPaintManagerUI::AttachRoot(CControlUI* root) {
    m_root = root;
    if (root != nullptr) {
        root->SetManager(this);
        root->ApplyScale();
    }
}

void CPaintManagerUI::DetachRoot() {
    // The timers belong to controls of the tree.
    qDeleteAll(m_timers);
    m_timers.clear();
    if (m_root != nullptr) {
        m_root->SetManager(nullptr);
        m_root = nullptr;
    }
}

CControlUI* CPaintManagerUI::FindControl(const QString& name) const {
    if (m_root != nullptr && QString::compare(m_root->GetName(), name, Qt::CaseInsensitive) == 0) {
        return m_root;
    }
    return FindIn(m_root, name, Qt::CaseInsensitive);
}

CControlUI* CPaintManagerUI::FindControlExact(const QString& name) const {
    if (m_root != nullptr && m_root->GetName() == name) {
        return m_root;
    }
    return FindIn(m_root, name, Qt::CaseSensitive);
}

CControlUI* CPaintManagerUI::FindSubControlByName(const CControlUI* parent, const QString& name) {
    return FindIn(parent, name, Qt::CaseInsensitive);
}

CControlUI* CPaintManagerUI::FindSubControlByNameExact(const CControlUI* parent,
                                                       const QString& name) {
    return FindIn(parent, name, Qt::CaseSensitive);
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier != nullptr && !m_notifiers.contains(notifier)) {
        m_notifiers.append(notifier);
    }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    m_notifiers.removeAll(notifier);
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const QString& type, quintptr wParam,
                                 qintptr lParam) {
    const Notification notification{type, sender, wParam, lParam};
    // A listener may add or remove listeners while it is told.
    const QList<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* notifier : notifiers) {
        if (m_notifiers.contains(notifier)) {
            notifier->Notify(notification);
        }
    }
}

void CPaintManagerUI::AddFont(int id, const QString& face, int size, bool bold, bool italic,
                              bool underline) {
    m_fonts.insert(id, FontSpec{face, size, bold, italic, underline});
}

void CPaintManagerUI::SetDefaultFont(const QString& face, int size, bool bold) {
    m_defaultFont = FontSpec{face, size, bold, false, false};
}

void CPaintManagerUI::RemoveAllFonts() {
    m_fonts.clear();
}

QFont CPaintManagerUI::GetFont(int id) const {
    const FontSpec spec = m_fonts.value(id, m_defaultFont);
    QFont font(spec.face);
    font.setPixelSize(std::max(1, qRound(spec.size * GetScale())));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    return font;
}

bool CPaintManagerUI::IsValidDpi(int dpi) {
    return dpi >= 48 && dpi <= 192 && dpi % 24 == 0;
}

void CPaintManagerUI::SetDPI(int dpi) {
    m_dpi = IsValidDpi(dpi) ? dpi : kDefaultDpi;
    if (m_root != nullptr) {
        m_root->ApplyScale();
    }
}

void CPaintManagerUI::SetDevicePixelRatio(double ratio) {
    // Screens report 1 to 4; anything else is a broken report, taken as 1.
    const double bounded = ratio >= 1.0 && ratio <= 8.0 ? ratio : 1.0;
    if (bounded == m_devicePixelRatio) {
        return;
    }
    m_devicePixelRatio = bounded;
    if (m_root != nullptr) {
        m_root->ApplyScale();
    }
}

bool CPaintManagerUI::SetTimer(CControlUI* control, int id, int elapseMs) {
    if (control == nullptr || elapseMs < 0) {
        return false;
    }
    const auto key = qMakePair(control, id);
    QTimer* timer = m_timers.value(key);
    if (timer == nullptr) {
        timer = new QTimer();
        QObject::connect(timer, &QTimer::timeout, [this, control, id] {
            SendNotify(control, QString::fromLatin1(notify::kTimer), static_cast<quintptr>(id));
        });
        m_timers.insert(key, timer);
    }
    timer->start(elapseMs);
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, int id) {
    QTimer* timer = m_timers.take(qMakePair(control, id));
    delete timer;
    return timer != nullptr;
}

void CPaintManagerUI::KillTimers(CControlUI* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it.key().first == control) {
            delete it.value();
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::ReloadText() {
    if (m_root != nullptr) {
        m_root->ReloadText();
    }
}

void CPaintManagerUI::ControlDestroyed(CControlUI* control) {
    KillTimers(control);
    if (m_root == control) {
        m_root = nullptr;
    }
}

void CPaintManagerUI::AddStyle(const QString& name, Style attributes) {
    m_styles.insert(name.toLower(), std::move(attributes));
}

std::optional<CPaintManagerUI::Style> CPaintManagerUI::GetStyle(const QString& name) const {
    const auto found = m_styles.constFind(name.toLower());
    if (found == m_styles.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

}  // namespace kx520::ui
