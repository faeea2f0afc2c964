#pragma once

#include <QString>
#include <deque>
#include <functional>

#include "ui/Notification.h"

namespace kx520 {

// How a routing row compares a control's name.
enum class NameMatch {
    CaseInsensitive,  // the whole name, letter case ignored
    Exact,            // the whole name, letter case counts
    PrefixNumber,     // the name less its trailing decimal digits; the digits are the number
};

// One routing rule: notifications of `type` from the control called `name`
// run `handler`. `number` is the N of a prefix + number name, else -1.
struct NotificationRoute {
    using Handler = std::function<void(const ui::Notification& notification, int number)>;

    const char* type;
    const char* name;
    NameMatch match;
    Handler handler;
};

// The main window's notification routing as data. Each group of handlers
// (title bar, device selector, profile actions, tabs, and each page) adds
// its rows; a notification runs the first row, in the order they were
// added, whose type and name match it. A name no row matches does nothing
// but the trace (type and name, for every type but "timer").
class NotificationRouter {
public:
    // Numbers cut from names are indices: more digits than this is no match.
    static constexpr int kMaxNumberDigits = 6;

    void Add(NotificationRoute route);
    // Runs the matching row; false when there is none.
    bool Route(const ui::Notification& notification) const;
    size_t Size() const { return m_routes.size(); }
    // The rows in the order they are tried: a JSON array of {"type",
    // "name", "match": "name" | "exact" | "prefix", "enabled"}. A row
    // without a handler is listed but takes its notification and does
    // nothing (what it opens has not landed).
    QString RoutesJson() const;

    // Splits "key_12" into "key_" and 12; false without trailing digits or
    // with too many of them.
    static bool SplitNumber(const QString& name, QString& prefix, int& number);

private:
    static bool Matches(const NotificationRoute& route, const QString& name, int& number);

    // A deque: a handler that adds a row leaves the running row in place.
    std::deque<NotificationRoute> m_routes;
};

}  // namespace kx520
