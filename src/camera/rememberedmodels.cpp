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

QString RememberedModels::model(const QString& serial) const
{
    if (serial.isEmpty() || m_path.isEmpty())
        return {};
    return read(m_path).value(serial).toString();
}

bool RememberedModels::remember(const QString& serial, const QString& model) const
{
    if (serial.isEmpty() || m_path.isEmpty())
        return false;
    QJsonObject object = read(m_path);
    if (object.value(serial).toString() == model)
        return true;
    object.insert(serial, model);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Written whole or not at all: a full disk must not leave half a file behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(object).toJson());
    return file.commit();
}
