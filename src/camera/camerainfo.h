#pragma once

#include <QByteArray>
#include <QString>

// What a camera tells about itself over HTTP: `/gopro/camera/info` (HERO12 and later:
// {"model_name":"HERO12 Black","model_number":"62","serial_number":"C35...",...}) or the
// older family's `/gp/gpControl/info` ({"info":{"model_name":...,"serial_number":...}}).
struct CameraInfo
{
    QString modelName; // "HERO12 Black"; printable, at most 64 characters
    int generation = 0; // 12 for "HERO12 Black"; 0 when the name has no HERO number
    QString serial;    // letters and digits only
    QString firmware;  // "H23.01.01.10.00"; printable, at most 32 characters

    bool isValid() const { return !modelName.isEmpty() || !serial.isEmpty(); }
    // Either reply; an invalid info for anything else.
    static CameraInfo parse(const QByteArray& body);
};
