#include "fakebluez.h"
#include "testsupport.h"
class T : public QObject { Q_OBJECT };
FAKEBLUEZ_TEST_MAIN(T)
#include "tst_bluetoothflow.moc"
