#pragma once

#include <QJsonObject>
#include <QString>

// Who the simulated camera says it is: model number and name, firmware, serial, and the
// access point that carries the serial's last eight digits in its name, as the info requests
// and the status report them.
namespace cameraidentity {

// Its last three digits put a camera on a USB cable at 172.24.161.51; its last eight name
// the access point GP24784461, the name the status has always reported.
inline constexpr const char* kDefaultSerial = "C3441324784461";

// HERO5 to HERO13: the models whose number, name and firmware are known.
bool known(int model);

// "GP" and the serial's last eight characters, as a camera's default network name.
QString accessPointName(const QString& serial);

// The newer cameras' /gopro/camera/info (HERO12 on): every value a string.
QJsonObject openGoProInfo(int model, const QString& serial);

// The older family's /gp/gpControl/info: {"info":{...}}, the model number a number.
QJsonObject gpControlInfo(int model, const QString& serial);

} // namespace cameraidentity
