#include "defaultmodelfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

DefaultModelFile::DefaultModelFile(QString filePath)
    : m_filePath(std::move(filePath))
{
}

QString DefaultModelFile::version() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return {};
    return document.object().value(QStringLiteral("Version")).toString();
}

DefaultModelFile::WriteResult DefaultModelFile::setVersion(const QString& version) const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return WriteResult::NotRecorded;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    file.close();
    // A file we cannot understand is somebody else's: never overwrite it.
    if (!document.isObject())
        return WriteResult::NotRecorded;

    QJsonObject root = document.object();
    root.insert(QStringLiteral("Version"), version);
    // A read-only file says "do not change me", even where the folder would let a rename
    // replace it.
    if (!QFileInfo(m_filePath).isWritable())
        return WriteResult::WriteFailed;
    // Written through a temporary file, so a full disk cannot leave a truncated file behind.
    QSaveFile out(m_filePath);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return WriteResult::WriteFailed;
    out.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return out.commit() ? WriteResult::Written : WriteResult::WriteFailed;
}
