#pragma once

#include "blob.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <string>

// The camera's SD card: the gpMediaList body it answers with, and the bytes of every file
// and thumbnail on it. A list is either generated (N files with camera-like names) or given
// as a JSON text, which is then served exactly as given until a delete or a format changes it.
//
// File contents are made up on request from a few assets that ffmpeg creates once in the
// media directory: pictures are real JPEGs (one of several frames, with the file name in a
// JPEG comment, so every file's bytes differ), videos a real MP4 (H.264 + AAC, index at the
// end), other files a filler pattern. A listed size "s" larger than the natural size is
// reached by padding (bytes after the JPEG's end marker, a "free" box after the MP4), so
// served sizes always equal "s" where "s" allows it. A real file at
// <media dir>/DCIM/<dir>/<name> is served as it is.
class MediaStore
{
public:
    MediaStore(const QString& mediaDir, quint64 fileBytes);

    // Creates (or finds, from an earlier run) the assets. Safe with several simulators
    // sharing one media directory.
    bool prepareAssets(QString* error);

    bool generate(int count, QString* error);
    // Served as given; false only when the assets for a non-empty list cannot be made.
    bool setJson(const QByteArray& body, QString* error);

    QByteArray listBody();
    int fileCount();
    // Sum of the listed sizes: what the files take on the card.
    quint64 usedBytes();
    QStringList deleted();

    // Media path "DIR/NAME"; null when the card holds no such file.
    std::shared_ptr<const Blob> file(const QString& mediaPath);
    std::shared_ptr<const Blob> thumbnail(const QString& mediaPath);
    // A real JPEG that the card does not hold, as another host would send in place of
    // mediaPath: thumbnail-sized (small) or full-sized, padded to size after its end marker.
    // Null before any media was made.
    std::shared_ptr<const Blob> otherPicture(const QString& mediaPath, bool small, quint64 size);

    // group: the file must be listed as a burst or lapse (and all its members go with it).
    bool remove(const QString& mediaPath, bool group = false);
    void format();

private:
    bool assetsReady() const { return !m_photos.empty(); }
    void reindexLocked();
    std::shared_ptr<const Blob> jpeg(const QString& name, bool thumbnail, quint64 wanted) const;
    std::shared_ptr<const Blob> video(quint64 wanted) const;
    std::shared_ptr<const Blob> pattern(const QString& mediaPath, quint64 size) const;
    std::shared_ptr<const Blob> synthesize(const QString& dir, const QString& name,
                                           const QJsonObject& entry) const;
    QString realFile(const QString& mediaPath) const;

    std::mutex m_mutex;
    QString m_mediaDir;
    quint64 m_fileBytes;
    std::vector<std::shared_ptr<const std::string>> m_photos;
    std::vector<std::shared_ptr<const std::string>> m_thumbs;
    std::shared_ptr<const std::string> m_video;

    QByteArray m_body;       // served as is
    QJsonObject m_list;      // parsed body; empty when the body is not a JSON object
    bool m_parsed = false;
    QHash<QString, QJsonObject> m_entries; // "DIR/NAME" -> its "fs" element
    QStringList m_deleted;
};
