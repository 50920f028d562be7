#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// The window's camera list ("comboCameras") as a user reads and uses it: each entry is a
// camera's name, then " — " and its state.
namespace cameralist {

// The names listed, in the list's order.
QStringList names(const QComboBox* cameras);
// The same, sorted: where the order in which cameras were found does not matter.
QStringList sortedNames(const QComboBox* cameras);
// Each entry's state ("87 % · 64.0 GB free", "offline").
QStringList states(const QComboBox* cameras);
QString currentName(const QComboBox* cameras);
// The state shown for the camera named name; empty when it is not listed.
QString stateOf(const QComboBox* cameras, const QString& name);
// Chooses the camera named name, as a user does; false when it is not listed.
bool choose(QComboBox* cameras, const QString& name);
void choose(QComboBox* cameras, int index);

} // namespace cameralist
