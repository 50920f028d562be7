#include "rememberedcameras.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// A few cameras of a few KB each; anything far larger is not this file.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

QJsonArray read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("cameras")).toArray();
}

QJsonObject toJson(const HomeNetworkCamera& camera)
{
    return {{QStringLiteral("serial"), camera.serial},
            {QStringLiteral("name"), camera.modelName},
            {QStringLiteral("model"), camera.model},
            {QStringLiteral("address"), camera.address.toString()},
            {QStringLiteral("user"), camera.user},
            {QStringLiteral("ssid"), camera.ssid},
            {QStringLiteral("certificate"), QString::fromLatin1(camera.rootCertificatePem)}};
}

} // namespace

RememberedCameras::RememberedCameras(QString path)
    : m_path(std::move(path))
{
    if (m_path.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        if (!folder.isEmpty())
            m_path = QDir(folder).filePath(QStringLiteral("home-cameras.json"));
    }
}

QList<HomeNetworkCamera> RememberedCameras::cameras() const
{
    QList<HomeNetworkCamera> cameras;
    if (m_path.isEmpty())
        return cameras;
    const QJsonArray entries = read(m_path);
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        HomeNetworkCamera camera;
        camera.serial = entry.value(QStringLiteral("serial")).toString();
        camera.modelName = entry.value(QStringLiteral("name")).toString();
        camera.model = entry.value(QStringLiteral("model")).toInt();
        camera.address = QHostAddress(entry.value(QStringLiteral("address")).toString());
        camera.user = entry.value(QStringLiteral("user")).toString();
        camera.ssid = entry.value(QStringLiteral("ssid")).toString();
        camera.rootCertificatePem = entry.value(QStringLiteral("certificate")).toString().toLatin1();
        if (camera.serial.isEmpty() || camera.address.isNull() || camera.user.isEmpty()
            || camera.rootCertificatePem.isEmpty())
            continue;
        cameras << camera;
    }
    return cameras;
}

bool RememberedCameras::remember(const HomeNetworkCamera& camera) const
{
    if (camera.serial.isEmpty() || m_path.isEmpty())
        return false;
    QJsonArray entries = read(m_path);
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (entries.at(i).toObject().value(QStringLiteral("serial")).toString() == camera.serial)
            entries.removeAt(i);
    }
    entries.append(toJson(camera));
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Written whole or not at all: a full disk must not leave half a file behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("cameras"), entries}}).toJson());
    return file.commit();
}
