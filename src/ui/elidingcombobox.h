#pragma once

#include <QComboBox>

// A combo box of the tool bar: as wide as it is given, its text cut in the middle ("HERO12
// Black … — offline") so that both ends stay readable, the whole text in its tool tip and its
// open list.
class ElidingComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString shownText READ shownText)

public:
    // About widthInCharacters average characters wide, whatever its entries.
    ElidingComboBox(int widthInCharacters, QWidget* parent);

    // The text as drawn in the closed box.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
