#include "cameraprofile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QList<CameraProfile::Entry> entriesOf(const QJsonValue& member)
{
    QList<CameraProfile::Entry> entries;
    const QJsonObject object = member.toObject(); // not an object: empty
    for (auto it = object.begin(); it != object.end(); ++it)
        entries.append({it.key(), it.value().toString()}); // not a string: empty command
    return entries;
}

} // namespace

CameraProfile CameraProfile::fromJson(const QJsonObject& root)
{
    CameraProfile profile;
    profile.modes = entriesOf(root.value(QStringLiteral("Mode")));
    profile.bitRates = entriesOf(root.value(QStringLiteral("Live Stream BitRate")));
    profile.windowSizes = entriesOf(root.value(QStringLiteral("Live Stream Window Size")));

    const QJsonObject dropdown = root.value(QStringLiteral("dropdown")).toObject();
    for (auto it = dropdown.begin(); it != dropdown.end(); ++it) {
        profile.settingTypes.append(it.key());
        QMap<QString, QString> options;
        for (const Entry& option : entriesOf(it.value()))
            options.insert(option.label, option.command);
        profile.settings.insert(it.key(), options);
    }
    return profile;
}

bool CameraProfile::load(const QString& filePath, CameraProfile* profile)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return false;
    *profile = fromJson(document.object());
    return true;
}

int CameraProfile::modelNumber(const QString& modelName)
{
    bool ok = false;
    const int number = modelName.mid(4).toInt(&ok, 10);
    return ok ? number : 0;
}

QString CameraProfile::modelNameFromFileName(const QString& fileName)
{
    const int underscore = fileName.indexOf(QLatin1Char('_'));
    return underscore < 0 ? fileName : fileName.left(underscore);
}

QStringList CameraProfile::installedModels(const QDir& dir)
{
    QStringList models;
    const QStringList files = dir.entryList({QStringLiteral("*.json")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
        if (name.startsWith(QLatin1String("hero")))
            models.append(modelNameFromFileName(name));
    }
    return models;
}

QString CameraProfile::fileNameFor(const QString& modelName)
{
    return modelName + QLatin1String("_cmds.json");
}
