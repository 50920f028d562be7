#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class CameraStatus;

// Which of a profile's entries the camera stands on, told by its status: a command that sets
// a setting is in force when the status's settings map holds its option, a mode command when
// the status reports that mode (sub-mode, preset group). About commands of other forms
// (locate, zoom) and ids the status leaves out it cannot tell.
class CurrentChoice
{
public:
    // Empty when the status does not tell.
    static std::optional<bool> inForce(const QString& command, const CameraStatus& status);
    // The first of commands in force; -1 when the status tells that none is, empty when it
    // tells about none of them.
    static std::optional<int> indexIn(const QStringList& commands, const CameraStatus& status);
};
