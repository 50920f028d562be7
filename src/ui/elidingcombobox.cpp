#include "elidingcombobox.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

ElidingComboBox::ElidingComboBox(int widthInCharacters, QWidget* parent)
    : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(widthInCharacters);
    view()->setTextElideMode(Qt::ElideMiddle);
}

QString ElidingComboBox::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The label is drawn a pixel in from each side of the field.
    return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, field.width() - 2);
}

void ElidingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool ElidingComboBox::event(QEvent* event)
{
    // The whole text first, when the box shows only part of it.
    if (event->type() == QEvent::ToolTip && shownText() != currentText() && !toolTip().contains(currentText())) {
        const QString tip = toolTip().isEmpty() ? currentText() : currentText() + QLatin1Char('\n') + toolTip();
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
        return true;
    }
    return QComboBox::event(event);
}
