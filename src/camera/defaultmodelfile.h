#pragma once

#include <QString>

// "gopro_default.json": remembers the camera model chosen last in its "Version" member.
// Other members belong to whoever put them there and survive every rewrite.
//
// The file lives beside the program. Where that folder is not the user's to write (an
// install under /opt or from a package), the model is remembered in a file of the same
// name and format in the user's configuration folder instead; once that file exists it is
// the one read and written.
class DefaultModelFile
{
public:
    enum class WriteResult {
        Written,
        NotRecorded, // missing, unreadable, or not a JSON object: left as it is
        WriteFailed, // neither place could be written
    };

    // userPath may be empty: then only the installed file is used.
    explicit DefaultModelFile(QString installedPath, QString userPath = QString());

    // The model named in the file; empty when the file is missing, not a JSON object,
    // or "Version" is not a string.
    QString version() const;
    WriteResult setVersion(const QString& version) const;

    // The user's copy in the standard configuration folder of this application.
    static QString userFilePath();

private:
    QString m_installedPath;
    QString m_userPath;
};
