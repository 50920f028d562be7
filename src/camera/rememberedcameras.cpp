#include "rememberedcameras.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A few cameras of a few KB each; anything far larger is not this file.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

QJsonArray read(const QString& path, QString* problem = nullptr)
{
    QFile file;
    // Opened without following a link, and judged by what was opened: the file decides where
    // the keyring's passwords go, so nobody but the user may have written it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ELOOP && problem)
            *problem = QCoreApplication::translate("RememberedCameras", "%1 is a symbolic link").arg(path);
        else if (errno != ENOENT && problem)
            *problem = QCoreApplication::translate("RememberedCameras", "%1 cannot be read: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    struct stat st;
    QString refused;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        refused = QCoreApplication::translate("RememberedCameras", "%1 is not a plain file").arg(path);
    else if (st.st_uid != ::geteuid())
        refused = QCoreApplication::translate("RememberedCameras", "%1 belongs to another user").arg(path);
    else if (st.st_mode & (S_IWGRP | S_IWOTH))
        refused = QCoreApplication::translate("RememberedCameras", "%1 may be changed by other users").arg(path);
    // Not this program's: it is not read, nor written over.
    else if (st.st_size > kMaxFileBytes)
        refused = QCoreApplication::translate("RememberedCameras", "%1 is far too large for a list of cameras").arg(path);
    if (!refused.isEmpty()) {
        ::close(fd);
        if (problem)
            *problem = refused;
        return {};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
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

QList<HomeNetworkCamera> RememberedCameras::cameras(QString* problem) const
{
    QList<HomeNetworkCamera> cameras;
    if (m_path.isEmpty())
        return cameras;
    const QJsonArray entries = read(m_path, problem);
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
    QString problem;
    QJsonArray entries = read(m_path, &problem);
    // Never written over: what it holds may be the user's, only its permissions wrong.
    if (!problem.isEmpty())
        return false;
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (entries.at(i).toObject().value(QStringLiteral("serial")).toString() == camera.serial)
            entries.removeAt(i);
    }
    entries.append(toJson(camera));
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // The user's alone from its first moment, whatever the umask (it is refused otherwise).
    // QSaveFile makes a new file as the umask allows (0666 under umask 0: anyone could open it
    // then and write through that handle later), but a replacement with the permissions of the
    // file it replaces: so that file is there first, 0600.
    const int fd = ::open(QFile::encodeName(m_path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0)
        ::close(fd);
    // Written whole or not at all: a full disk must not leave half a file behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("cameras"), entries}}).toJson());
    return file.commit();
}
