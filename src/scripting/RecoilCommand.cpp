#include "scripting/RecoilCommand.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <optional>

#include "mouseui/CZentrelMouseDevice.h"
#include "pages/CShootControlUI.h"
#include "scripting/JsonAnswer.h"

namespace kx520 {

namespace {

std::optional<int> Number(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> Index(const QStringList& args, qsizetype at, int count) {
    const std::optional<int> value = at < args.size() ? Number(args[at]) : std::nullopt;
    return value && *value >= 0 && *value < count ? value : std::nullopt;
}

QJsonObject Gun(const CShootControlUI& page, int gun) {
    QJsonArray bullets;
    const std::vector<profiles::Bullet> read = profiles::ShootGun::ReadAll(page.GunPath(gun));
    for (size_t b = 0; b < read.size(); ++b) {
        const profiles::Bullet& bullet = read[b];
        bullets.append(QJsonObject{{QStringLiteral("bullet"), static_cast<int>(b)},
                                   {QStringLiteral("x"), bullet.left ? -bullet.x : bullet.x},
                                   {QStringLiteral("y"), bullet.up ? -bullet.y : bullet.y},
                                   {QStringLiteral("delay"), bullet.delay}});
    }
    return {{QStringLiteral("gun"), gun}, {QStringLiteral("file"), QString::fromStdString(page.GunPath(gun))},
            {QStringLiteral("bullets"), bullets}};
}

// "--x N --y N --delay MS" over `bullet`; "" or why not.
QString ReadValues(const QStringList& words, profiles::Bullet& bullet) {
    for (qsizetype i = 0; i < words.size(); i += 2) {
        const std::optional<int> value = i + 1 < words.size() ? Number(words[i + 1]) : std::nullopt;
        if (!value) {
            return words[i] + QStringLiteral(" needs a number");
        }
        if (words[i] == QLatin1String("--x")) {
            bullet.x = std::abs(*value);
            bullet.left = *value < 0;
        } else if (words[i] == QLatin1String("--y")) {
            bullet.y = std::abs(*value);
            bullet.up = *value < 0;
        } else if (words[i] == QLatin1String("--delay")) {
            bullet.delay = *value;
        } else {
            return QStringLiteral("unknown option ") + words[i];
        }
    }
    return {};
}

QString Done(const CShootControlUI& page, int gun, const std::string& error) {
    return error.empty() ? JsonAnswer(Gun(page, gun)) : JsonError(QString::fromStdString(error));
}

}  // namespace

QString RecoilCommand::Run(CZentrelMouseDevice& mouse, const QStringList& args) {
    CShootControlUI* page = mouse.ShootPage();
    if (page == nullptr) {
        return JsonError(QStringLiteral("the mouse page has no recoil page"));
    }
    const QString verb = args.value(0);
    if (verb == QLatin1String("list") && args.size() == 1) {
        QJsonArray guns;
        for (int gun = 0; gun < CShootControlUI::kGuns; ++gun) {
            const QJsonObject shown = Gun(*page, gun);
            guns.append(QJsonObject{{QStringLiteral("gun"), gun},
                                    {QStringLiteral("file"), shown[QStringLiteral("file")]},
                                    {QStringLiteral("bullets"), shown[QStringLiteral("bullets")].toArray().size()}});
        }
        return JsonAnswer({{QStringLiteral("guns"), guns}});
    }
    const std::optional<int> gun = Index(args, 1, CShootControlUI::kGuns);
    if (!gun) {
        return JsonError(QStringLiteral("recoil takes list, show GUN, set GUN BULLET [--x N] [--y N] [--delay MS], "
                                        "reset GUN, import GUN FILE or export GUN FILE (guns 0-3, bullets 0-29)"));
    }
    if (verb == QLatin1String("show") && args.size() == 2) {
        return JsonAnswer(Gun(*page, *gun));
    }
    if (verb == QLatin1String("set")) {
        const std::optional<int> bullet = Index(args, 2, CShootControlUI::kBullets);
        if (!bullet) {
            return JsonError(QStringLiteral("a gun has bullets 0 to 29"));
        }
        profiles::Bullet value =
            profiles::ShootGun::Read(page->GunPath(*gun), static_cast<size_t>(*bullet)).value_or(profiles::Bullet{});
        if (const QString why = ReadValues(args.mid(3), value); !why.isEmpty()) {
            return JsonError(why);
        }
        return Done(*page, *gun, page->SetBullet(*gun, *bullet, value));
    }
    const std::string error = page->SelectGun(*gun);
    if (!error.empty()) {
        return JsonError(QString::fromStdString(error));
    }
    if (verb == QLatin1String("reset") && args.size() == 2) {
        return Done(*page, *gun, page->ResetGun());
    }
    if (verb == QLatin1String("import") && args.size() == 3) {
        return Done(*page, *gun, page->Import(args[2].toStdString()));
    }
    if (verb == QLatin1String("export") && args.size() == 3) {
        return Done(*page, *gun, page->Export(args[2].toStdString()));
    }
    return JsonError(QStringLiteral("recoil takes list, show GUN, set GUN BULLET, reset GUN, import GUN FILE or "
                                    "export GUN FILE"));
}

}  // namespace kx520
