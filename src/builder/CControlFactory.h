#pragma once

#include <QHash>
#include <QString>
#include <functional>

namespace kx520::ui {

class CControlUI;

// Makes controls by class name for the skin's tags: the toolkit's own
// classes and those the application registers (one factory per process,
// UI thread). Class names compare exactly.
class CControlFactory {
public:
    using Creator = std::function<CControlUI*()>;

    static CControlFactory& Instance();

    // The toolkit's own classes ("HorizontalLayout", "Button", ...).
    static CControlUI* CreateBuiltIn(const QString& className);

    void RegisterControl(const QString& className, Creator creator);
    bool IsRegistered(const QString& className) const { return m_creators.contains(className); }
    // nullptr for a class that is not registered.
    CControlUI* CreateControl(const QString& className) const;

private:
    CControlFactory() = default;
    QHash<QString, Creator> m_creators;
};

}  // namespace kx520::ui
