#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QDir;
class QJsonObject;

// One camera model's profile ("hero<N>_cmds.json"): the capture modes, settings and preview
// options the model offers, each with the request URL that selects it. Labels keep the
// order the JSON object gives them (ascending character codes), which is the order the
// selectors show.
class CameraProfile
{
public:
    struct Entry {
        QString label;
        QString command;
    };

    QList<Entry> modes;
    QList<Entry> bitRates;
    QList<Entry> windowSizes;
    QStringList settingTypes;
    QMap<QString, QMap<QString, QString>> settings;

    // Reads a profile file; false when it cannot be read or is not a JSON object.
    static bool load(const QString& filePath, CameraProfile* profile);
    static CameraProfile fromJson(const QJsonObject& root);

    // "hero10" -> 10: the value of the name from its fifth character on, 0 when that is
    // not a base-10 signed 32-bit integer.
    static int modelNumber(const QString& modelName);
    // Model name of a profile file: the name up to its first "_", or the whole name.
    static QString modelNameFromFileName(const QString& fileName);
    // Model names of the readable "*.json" files in dir whose names begin with "hero",
    // in file-name order, duplicates kept.
    static QStringList installedModels(const QDir& dir);
    static QString fileNameFor(const QString& modelName);
};
