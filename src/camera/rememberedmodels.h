#pragma once

#include <QString>

// The model of each camera seen, by serial, in the user's configuration folder
// ("cameras.json": {"C3501324645504": {"model": "hero12", "name": "HERO12 Black"}, ...}; the
// older form {"C3501324645504": "hero12"} is still read): a camera that does not tell its model
// over a cable is known again by its serial, and its folders keep the name it told once.
// Only what a camera told of itself is remembered, never a guess.
class RememberedModels
{
public:
    // path empty: the user's configuration folder.
    explicit RememberedModels(QString path = QString());

    // "hero12"; empty when the serial is not known.
    QString model(const QString& serial) const;
    // "HERO12 Black"; empty when the camera never told its name.
    QString name(const QString& serial) const;
    // A name left empty keeps the one remembered. False when the file could not be written.
    bool remember(const QString& serial, const QString& model, const QString& name = QString()) const;

private:
    QString m_path;
};
