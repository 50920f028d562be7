#include "theme.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double Theme::luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double Theme::contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Theme::linkColour()
{
    return QColor(0x8a, 0xb4, 0xff);
}

QString Theme::link(const QString& href, const QString& text)
{
    return QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>").arg(href, linkColour().name(), text);
}
