#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QDir;
class QJsonObject;

// One camera model's profile ("hero<N>_cmds.json"): the capture modes, settings and preview
// options the model offers, each with the request URL that selects it. Entries keep the
// order the file writes them in, which is the order the selectors show ("4K" before "1080p":
// no sorting of labels as text). A setting type without options is left out: there is
// nothing to choose in it.
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
    QMap<QString, QList<Entry>> settings;

    // The command of option label of setting type; empty when there is none.
    QString settingCommand(const QString& type, const QString& label) const;

    // Reads a profile file; false when it cannot be read or is not a JSON object.
    static bool load(const QString& filePath, CameraProfile* profile);
    // The profile in text, entries in the order written; empty when text is no JSON object.
    static CameraProfile fromJson(const QByteArray& text);
    // The same from a parsed object, whose entries come in label order.
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
