#pragma once

#include <QLocale>
#include <QObject>

// The program's texts in the user's language, with Qt's own (OK, Cancel, the folder dialog)
// in the same one: a Chinese window with English buttons reads as half done. Installed for as
// long as this object lives.
class Languages : public QObject
{
    Q_OBJECT

public:
    explicit Languages(QLocale::Language language, QObject* parent = nullptr);

    // Whether Qt's own texts were found for that language (English needs none).
    bool hasQtTexts() const { return m_qtTexts; }

private:
    bool m_qtTexts = false;
};
