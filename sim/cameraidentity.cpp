#include "cameraidentity.h"

namespace cameraidentity {

namespace {

struct Model {
    int model;
    int number;
    const char* firmware;
};

// Numbers as the cameras report them; firmware versions as seen on each model (HERO13's
// follows its prefix H24).
constexpr Model kModels[] = {
    {5, 19, "HD5.02.02.60.00"},  {6, 24, "HD6.01.01.51.00"},  {7, 30, "HD7.01.01.49.17"},
    {8, 50, "HD8.01.02.50.00"},  {9, 55, "HD9.01.01.50.00"},  {10, 57, "H21.01.01.40.00"},
    {11, 58, "H22.01.02.01.00"}, {12, 62, "H23.01.01.10.00"}, {13, 65, "H24.01.01.10.00"},
};

const Model* find(int model)
{
    for (const Model& m : kModels) {
        if (m.model == model)
            return &m;
    }
    return nullptr;
}

QString modelName(int model)
{
    return QStringLiteral("HERO%1 Black").arg(model);
}

// The access point's MAC, twelve hex digits without colons: a locally administered prefix
// and the serial's last eight digits.
QString accessPointMac(const QString& serial)
{
    return QStringLiteral("0657") + serial.right(8).toLower();
}

} // namespace

bool known(int model)
{
    return find(model) != nullptr;
}

QString accessPointName(const QString& serial)
{
    return QStringLiteral("GP") + serial.right(8);
}

QJsonObject openGoProInfo(int model, const QString& serial)
{
    const Model* m = find(model);
    if (!m)
        return {};
    return QJsonObject{{QStringLiteral("ap_mac_addr"), accessPointMac(serial)},
                       {QStringLiteral("ap_ssid"), accessPointName(serial)},
                       {QStringLiteral("firmware_version"), QLatin1String(m->firmware)},
                       {QStringLiteral("model_name"), modelName(model)},
                       {QStringLiteral("model_number"), QString::number(m->number)},
                       {QStringLiteral("serial_number"), serial}};
}

QJsonObject gpControlInfo(int model, const QString& serial)
{
    const Model* m = find(model);
    if (!m)
        return {};
    return QJsonObject{{QStringLiteral("info"),
                        QJsonObject{{QStringLiteral("model_number"), m->number},
                                    {QStringLiteral("model_name"), modelName(model)},
                                    {QStringLiteral("firmware_version"), QLatin1String(m->firmware)},
                                    {QStringLiteral("serial_number"), serial},
                                    {QStringLiteral("board_type"), QStringLiteral("0x05")},
                                    {QStringLiteral("ap_mac"), accessPointMac(serial)},
                                    {QStringLiteral("ap_ssid"), accessPointName(serial)}}}};
}

} // namespace cameraidentity
