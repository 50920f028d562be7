#pragma once

#include <QString>

// "gopro_default.json": remembers the camera model chosen last in its "Version" member.
// Other members belong to whoever put them there and survive every rewrite.
class DefaultModelFile
{
public:
    enum class WriteResult {
        Written,
        NotRecorded, // missing, unreadable, or not a JSON object: left as it is
        WriteFailed, // readable but could not be opened for writing
    };

    explicit DefaultModelFile(QString filePath);

    // The model named in the file; empty when the file is missing, not a JSON object,
    // or "Version" is not a string.
    QString version() const;
    WriteResult setVersion(const QString& version) const;

private:
    QString m_filePath;
};
