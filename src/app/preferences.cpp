#include "preferences.h"

QSettings preferences()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("velkamo"), QStringLiteral("velkamo"));
}
