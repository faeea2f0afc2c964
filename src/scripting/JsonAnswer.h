#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace kx520 {

// The answer of a command other programs send: a compact JSON object, or
// {"error": why}.
inline QString JsonAnswer(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

inline QString JsonError(const QString& why) {
    return JsonAnswer({{QStringLiteral("error"), why}});
}

}  // namespace kx520
