#pragma once

#include <QPoint>
#include <QSize>

// The picture viewer's scale arithmetic, kept apart from the widget so it can be checked
// exactly. Scales stay within [kMinScale, kMaxScale]: a large downward slider jump would
// otherwise make the factor zero (the picture vanishes for good) or negative (mirrored).
class ZoomMath
{
public:
    static constexpr float kMinScale = 0.01f;
    static constexpr float kMaxScale = 50.0f;

    static float bounded(double scale);
    // Largest scale at which the whole image fits the area; 1 for an empty image.
    static float fitScale(const QSize& area, const QSize& image);
    // One slider step is 10 % of the current scale; a jump of k steps multiplies by 1 + 0.1 k.
    static float stepScale(float scale, float steps);
    // Wheel away from the user zooms in by 10 %, anything else zooms out by 10 %.
    static float wheelScale(float scale, int angleDeltaY);
    // Where to draw the image in a painter scaled by scale so that its centre sits at the
    // widget's centre.
    static QPoint drawOrigin(const QSize& widget, const QSize& image, float scale);
};
