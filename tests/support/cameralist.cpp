#include "cameralist.h"

#include <QComboBox>

namespace cameralist {

namespace {
const QString kSeparator = QStringLiteral(" — ");
}

QStringList names(const QComboBox* cameras)
{
    QStringList texts;
    for (int i = 0; i < cameras->count(); ++i)
        texts << cameras->itemText(i).section(kSeparator, 0, 0);
    return texts;
}

QStringList sortedNames(const QComboBox* cameras)
{
    QStringList texts = names(cameras);
    texts.sort();
    return texts;
}

QStringList states(const QComboBox* cameras)
{
    QStringList texts;
    for (int i = 0; i < cameras->count(); ++i)
        texts << cameras->itemText(i).section(kSeparator, 1);
    return texts;
}

QString currentName(const QComboBox* cameras)
{
    return cameras->currentText().section(kSeparator, 0, 0);
}

QString stateOf(const QComboBox* cameras, const QString& name)
{
    const int index = int(names(cameras).indexOf(name));
    return index < 0 ? QString() : cameras->itemText(index).section(kSeparator, 1);
}

void choose(QComboBox* cameras, int index)
{
    cameras->setCurrentIndex(index);
    emit cameras->activated(index);
}

bool choose(QComboBox* cameras, const QString& name)
{
    const int index = int(names(cameras).indexOf(name));
    if (index < 0)
        return false;
    choose(cameras, index);
    return true;
}

} // namespace cameralist
