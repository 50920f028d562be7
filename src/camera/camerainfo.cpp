#include "camerainfo.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// Numbers or strings, as cameras send either.
QString text(const QJsonValue& value)
{
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', 0);
    return value.toString();
}

QString printable(QString value, int maxLength)
{
    value.removeIf([](QChar c) { return !c.isPrint(); });
    return value.trimmed().left(maxLength);
}

} // namespace

CameraInfo CameraInfo::parse(const QByteArray& body)
{
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject())
        return {};
    QJsonObject object = doc.object();
    if (object.value(QLatin1String("info")).isObject())
        object = object.value(QLatin1String("info")).toObject();

    CameraInfo info;
    // Shown to the user and put in a list: printable and short.
    info.modelName = printable(text(object.value(QLatin1String("model_name"))), 64);
    info.firmware = printable(text(object.value(QLatin1String("firmware_version"))), 32);
    static const QRegularExpression hero(QStringLiteral("^HERO(\\d{1,3})\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = hero.match(info.modelName);
    if (match.hasMatch())
        info.generation = match.captured(1).toInt();
    // A serial names a file of remembered models and ends up in a folder name later on.
    static const QRegularExpression serial(QStringLiteral("^[A-Za-z0-9]{1,32}$"));
    const QString number = text(object.value(QLatin1String("serial_number"))).trimmed();
    if (serial.match(number).hasMatch())
        info.serial = number;
    return info;
}
