#include "rememberedmodels.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QJsonObject read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

RememberedModels::RememberedModels(QString path)
    : m_path(std::move(path))
{
    if (m_path.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        if (!folder.isEmpty())
            m_path = QDir(folder).filePath(QStringLiteral("cameras.json"));
    }
}

namespace {

QJsonObject entryOf(const QJsonValue& value)
{
    // The first form held the model's name alone.
    if (value.isString())
        return {{QStringLiteral("model"), value.toString()}};
    return value.toObject();
}

} // namespace

QString RememberedModels::model(const QString& serial) const
{
    if (serial.isEmpty() || m_path.isEmpty())
        return {};
    return entryOf(read(m_path).value(serial)).value(QStringLiteral("model")).toString();
}

QString RememberedModels::name(const QString& serial) const
{
    if (serial.isEmpty() || m_path.isEmpty())
        return {};
    return entryOf(read(m_path).value(serial)).value(QStringLiteral("name")).toString();
}

bool RememberedModels::remember(const QString& serial, const QString& model, const QString& name) const
{
    if (serial.isEmpty() || m_path.isEmpty() || model.isEmpty())
        return false;
    QJsonObject object = read(m_path);
    const QJsonObject before = entryOf(object.value(serial));
    QJsonObject entry = before;
    entry.insert(QStringLiteral("model"), model);
    if (!name.isEmpty())
        entry.insert(QStringLiteral("name"), name);
    if (entry == before && object.value(serial).isObject())
        return true;
    object.insert(serial, entry);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Written whole or not at all: a full disk must not leave half a file behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(object).toJson());
    return file.commit();
}
