#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Why the newer cameras refused a setting, from the body of their HTTP 403:
// {"error":n,"setting_id":..,"option_id":..,"supported_options":[{"id","display_name"}]}
// (firmware writes "available_options" too). Error 1 and 2: the setting is not available
// (now, or at all); 3 and 4: the option is not. The names come from the camera: they are
// shortened and cut to a few, so that a hostile body cannot fill the status bar.
class SettingRefusal
{
    Q_DECLARE_TR_FUNCTIONS(SettingRefusal)

public:
    // A sentence for the user; empty when body is no such refusal.
    static QString describe(const QByteArray& body);
};
