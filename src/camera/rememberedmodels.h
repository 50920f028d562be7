#pragma once

#include <QString>

// The model of each camera seen, by serial, in the user's configuration folder
// ("cameras.json": {"C3501324645504": "hero12", ...}): a camera that does not tell its model
// over a cable (HERO8 to HERO11) is known again by its serial.
class RememberedModels
{
public:
    // path empty: the user's configuration folder.
    explicit RememberedModels(QString path = QString());

    // "hero12"; empty when the serial is not known.
    QString model(const QString& serial) const;
    // False when the file could not be written.
    bool remember(const QString& serial, const QString& model) const;

private:
    QString m_path;
};
