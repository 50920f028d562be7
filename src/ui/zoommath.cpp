#include "zoommath.h"

#include <algorithm>

float ZoomMath::bounded(double scale)
{
    if (!(scale >= kMinScale)) // also catches NaN
        return kMinScale;
    return float(std::min<double>(scale, kMaxScale));
}

float ZoomMath::fitScale(const QSize& area, const QSize& image)
{
    if (image.isEmpty())
        return 1.0f;
    const float byWidth = float(area.width()) / float(image.width());
    const float byHeight = float(area.height()) / float(image.height());
    return bounded(std::min(byWidth, byHeight));
}

float ZoomMath::stepScale(float scale, float steps)
{
    const double old = scale;
    return bounded(old + double(steps) * 0.1 * old);
}

float ZoomMath::wheelScale(float scale, int angleDeltaY)
{
    return bounded(double(scale) * (angleDeltaY > 0 ? 1.1 : 0.9));
}

QPoint ZoomMath::drawOrigin(const QSize& widget, const QSize& image, float scale)
{
    if (scale == 0.0f)
        return QPoint(0, 0);
    const int scaledWidth = int(float(image.width()) * scale);
    const int scaledHeight = int(float(image.height()) * scale);
    const int x = int(float((widget.width() - scaledWidth) / 2) / scale);
    const int y = int(float((widget.height() - scaledHeight) / 2) / scale);
    return QPoint(x, y);
}
