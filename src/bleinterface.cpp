#include "bleinterface.h"

BLEInterface::BLEInterface(QObject* parent)
    : QObject(parent)
{
}
