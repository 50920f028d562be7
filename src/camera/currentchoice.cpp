#include "currentchoice.h"

#include "camerastatus.h"

#include <QUrl>
#include <QUrlQuery>

#include <limits>
#include <optional>

namespace {

std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<bool> holds(const std::optional<int>& reported, const QString& text)
{
    const auto wanted = number(text);
    if (!reported || !wanted)
        return std::nullopt;
    return *reported == *wanted;
}

std::optional<bool> holdsSetting(const CameraStatus& status, const QString& id, const QString& option)
{
    const auto setting = number(id);
    const auto value = number(option);
    if (!setting || !value || *setting < 0 || *setting > std::numeric_limits<int>::max())
        return std::nullopt;
    const auto reported = status.settings.constFind(int(*setting));
    if (reported == status.settings.constEnd())
        return std::nullopt;
    return *reported == *value;
}

} // namespace

std::optional<bool> CurrentChoice::inForce(const QString& command, const CameraStatus& status)
{
    const QUrl url(command, QUrl::TolerantMode);
    const QString path = url.path();
    const QUrlQuery query(url);
    const auto item = [&query](const char* key) { return query.queryItemValue(QLatin1String(key)); };

    static const QLatin1String legacySetting("/gp/gpControl/setting/");
    if (path.startsWith(legacySetting)) {
        const QStringList parts = path.mid(legacySetting.size()).split(QLatin1Char('/'));
        if (parts.size() != 2)
            return std::nullopt;
        return holdsSetting(status, parts.at(0), parts.at(1));
    }
    if (path == QLatin1String("/gopro/camera/setting"))
        return holdsSetting(status, item("setting"), item("option"));
    if (path == QLatin1String("/gp/gpControl/command/sub_mode")) {
        const auto mode = holds(status.mode, item("mode"));
        const auto subMode = holds(status.subMode, item("sub_mode"));
        if (!mode || !subMode)
            return std::nullopt;
        return *mode && *subMode;
    }
    if (path == QLatin1String("/gp/gpControl/command/mode"))
        return holds(status.mode, item("p"));
    // The preset groups: the HERO8's way and the newer family's.
    if (path == QLatin1String("/gp/gpControl/command/set_mode"))
        return holds(status.presetGroup, item("p"));
    if (path == QLatin1String("/gopro/camera/presets/set_group"))
        return holds(status.presetGroup, item("id"));
    return std::nullopt;
}

std::optional<int> CurrentChoice::indexIn(const QStringList& commands, const CameraStatus& status)
{
    std::optional<int> found;
    for (int i = 0; i < commands.size(); ++i) {
        const auto inForce = CurrentChoice::inForce(commands.at(i), status);
        if (inForce && *inForce)
            return i;
        if (inForce)
            found = -1;
    }
    return found;
}
