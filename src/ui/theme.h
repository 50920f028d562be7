#pragma once

#include <QColor>
#include <QString>

// What the code itself draws of the dark style (install/qss/common.qss holds the rest), and the
// contrast rule every pair of its colours is held to: text at least 4.5:1 against what it
// stands on, control outlines and the focus ring at least 3:1 (WCAG 2).
class Theme
{
public:
    static constexpr double kTextContrast = 4.5;
    static constexpr double kOutlineContrast = 3.0;

    // WCAG relative luminance, 0 (black) to 1 (white); alpha is ignored.
    static double luminance(const QColor& colour);
    // (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
    static double contrast(const QColor& a, const QColor& b);

    // A link in rich text, in the style's link colour: the palette's default blue is unreadable
    // on the dark surfaces.
    static QString link(const QString& href, const QString& text);
    static QColor linkColour();
};
