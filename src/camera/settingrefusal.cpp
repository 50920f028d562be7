#include "settingrefusal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

constexpr int kMostNames = 12;
constexpr int kLongestName = 40;

} // namespace

QString SettingRefusal::describe(const QByteArray& body)
{
    const QJsonObject refusal = QJsonDocument::fromJson(body).object();
    if (!refusal.contains(QLatin1String("setting_id")) || !refusal.value(QLatin1String("error")).isDouble())
        return QString();
    const int error = refusal.value(QLatin1String("error")).toInt();
    QString why = error == 1 || error == 2 ? tr("the camera does not offer this setting now")
                                           : tr("the camera does not offer this option now");
    QJsonArray options = refusal.value(QLatin1String("supported_options")).toArray();
    if (options.isEmpty())
        options = refusal.value(QLatin1String("available_options")).toArray();
    QStringList names;
    for (const QJsonValue& option : std::as_const(options)) {
        QString name = option.toObject().value(QLatin1String("display_name")).toString().simplified();
        name.removeIf([](QChar c) { return !c.isPrint(); });
        if (name.isEmpty())
            continue;
        if (name.size() > kLongestName)
            name = name.left(kLongestName - 1) + QChar(0x2026);
        if (names.size() == kMostNames) {
            names << QStringLiteral("…");
            break;
        }
        names << name;
    }
    if (!names.isEmpty())
        why = tr("%1; it offers %2").arg(why, names.join(QLatin1String(", ")));
    return why;
}
