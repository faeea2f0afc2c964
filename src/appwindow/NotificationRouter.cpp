#include "appwindow/NotificationRouter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/DebugTrace.h"
#include "ui/CControlUI.h"

namespace kx520 {

void NotificationRouter::Add(NotificationRoute route) {
    m_routes.push_back(std::move(route));
}

QString NotificationRouter::RoutesJson() const {
    QJsonArray rows;
    for (const NotificationRoute& route : m_routes) {
        const char* match = route.match == NameMatch::Exact           ? "exact"
                            : route.match == NameMatch::PrefixNumber ? "prefix"
                                                                     : "name";
        rows.append(QJsonObject{{QStringLiteral("type"), QLatin1String(route.type)},
                                {QStringLiteral("name"), QLatin1String(route.name)},
                                {QStringLiteral("match"), QLatin1String(match)},
                                {QStringLiteral("enabled"), static_cast<bool>(route.handler)}});
    }
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

bool NotificationRouter::SplitNumber(const QString& name, QString& prefix, int& number) {
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && name.at(digitsFrom - 1) >= QLatin1Char('0') &&
           name.at(digitsFrom - 1) <= QLatin1Char('9')) {
        --digitsFrom;
    }
    const qsizetype digits = name.size() - digitsFrom;
    if (digits == 0 || digits > kMaxNumberDigits) {
        return false;
    }
    prefix = name.left(digitsFrom);
    number = name.mid(digitsFrom).toInt();
    return true;
}

bool NotificationRouter::Matches(const NotificationRoute& route, const QString& name,
                                 int& number) {
    number = -1;
    const QLatin1String wanted(route.name);
    switch (route.match) {
        case NameMatch::Exact:
            return name == wanted;
        case NameMatch::CaseInsensitive:
            return name.compare(wanted, Qt::CaseInsensitive) == 0;
        case NameMatch::PrefixNumber: {
            QString prefix;
            int cut = -1;
            if (!SplitNumber(name, prefix, cut) ||
                prefix.compare(wanted, Qt::CaseInsensitive) != 0) {
                return false;
            }
            number = cut;
            return true;
        }
    }
    return false;
}

bool NotificationRouter::Route(const ui::Notification& notification) const {
    const QString name =
        notification.sender != nullptr ? notification.sender->GetName() : QString();
    // Timers fire too often to trace; every other notification is traced.
    if (DebugTraceEnabled() && notification.type != QLatin1String(ui::notify::kTimer)) {
        DebugTrace((notification.type + QLatin1Char(' ') + name).toStdString());
    }
    for (const NotificationRoute& route : m_routes) {
        int number = -1;
        if (notification.type != QLatin1String(route.type) || !Matches(route, name, number)) {
            continue;
        }
        if (route.handler) {
            route.handler(notification, number);
        }
        return true;
    }
    return false;
}

}  // namespace kx520
