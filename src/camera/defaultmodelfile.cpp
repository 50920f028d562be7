#include "defaultmodelfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char* const kFileName = "gopro_default.json";

// The file's JSON object; false when it is missing, unreadable or not an object.
bool readObject(const QString& path, QJsonObject* object)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return false;
    *object = document.object();
    return true;
}

// Written through a temporary file, so a full disk cannot leave a truncated file behind.
bool writeObject(const QString& path, const QJsonObject& object)
{
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    return out.commit();
}

} // namespace

DefaultModelFile::DefaultModelFile(QString installedPath, QString userPath)
    : m_installedPath(std::move(installedPath))
    , m_userPath(std::move(userPath))
{
}

QString DefaultModelFile::userFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kFileName));
}

QString DefaultModelFile::version() const
{
    QJsonObject object;
    if (!m_userPath.isEmpty() && readObject(m_userPath, &object))
        return object.value(QStringLiteral("Version")).toString();
    if (readObject(m_installedPath, &object))
        return object.value(QStringLiteral("Version")).toString();
    return {};
}

DefaultModelFile::WriteResult DefaultModelFile::setVersion(const QString& version) const
{
    QJsonObject root;
    if (!m_userPath.isEmpty() && QFileInfo::exists(m_userPath)) {
        // The user's copy, once made, is the one that counts; one that is damaged is ours
        // to replace.
        readObject(m_userPath, &root);
        root.insert(QStringLiteral("Version"), version);
        return writeObject(m_userPath, root) ? WriteResult::Written : WriteResult::WriteFailed;
    }

    // A file we cannot understand is somebody else's: never overwrite it.
    if (!readObject(m_installedPath, &root))
        return WriteResult::NotRecorded;
    root.insert(QStringLiteral("Version"), version);
    // A read-only file says "do not change me", even where the folder would let a rename
    // replace it.
    if (QFileInfo(m_installedPath).isWritable() && writeObject(m_installedPath, root))
        return WriteResult::Written;
    if (m_userPath.isEmpty() || !QDir().mkpath(QFileInfo(m_userPath).absolutePath()))
        return WriteResult::WriteFailed;
    return writeObject(m_userPath, root) ? WriteResult::Written : WriteResult::WriteFailed;
}
