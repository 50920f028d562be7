#pragma once

#include <QApplication>
#include <QComboBox>
#include <QString>
#include <QtTest>

namespace testsupport {

// Every test process must run inside the network sandbox (tests/sandbox-run): loopback as
// the only interface, carrying 10.5.5.9. Anything else could send packets to a real network,
// so the process refuses to run and says why.
void requireSandbox();

// Gives the test executable a fresh data tree beside its bin directory (ref/, qss/,
// Language/) copied from the build tree's staged data, so a test may change its profiles
// and default file without touching anybody else's.
void installFreshDataTree();

// The application root of this test executable (the parent of its bin directory).
QString appRoot();

// Picks entry index of box as a click in its list does: made current, then activated.
void choose(QComboBox* box, int index);

// Makes the test's "gopro_default.json" name model (for example "hero9").
void writeDefaultModel(const QString& model);

// Makes folder read-only for this test (a read-only bind mount, which holds for root too;
// the sandbox gives every test a mount namespace of its own). Empty on success, else why not.
QString mountReadOnly(const QString& folder);
// Mounts an empty tmpfs of size ("256k", "1m") on folder: a disk that fills up.
QString mountTmpfs(const QString& folder, const QString& size);
void unmount(const QString& folder);

// A tap device that nothing reads (so the sandbox stays closed), up and holding addresses
// ("172.25.104.52/24"): a stand-in for any interface of the PC, a VPN's or an office LAN's.
// Needs /dev/net/tun (root). Empty on success, else why not.
QString addTap(const QString& name, const QStringList& addresses);
void removeInterface(const QString& name);

// A hardware-information reply (to 01 3C) as the camera lays it out: a start packet with the
// 13-bit length header, then continuation packets 0x80 | counter.
QList<QByteArray> hardwareInfoReply(const QByteArray& modelNumberField, const QByteArray& modelName,
                                    const QByteArray& ssid = "GP24645504");

// Whether window shows the ways to connect in the grid's place: no camera answers.
bool showsFirstScreen(const QWidget* window);

// Path of a built tool staged in the build tree's bin directory.
QString stagedBinary(const QString& name);

} // namespace testsupport

// QTEST_MAIN with the sandbox check first, the application style the program uses, and
// debug output kept on stderr.
#define VELKAMO_TEST_MAIN(TestObject)                                   \
    int main(int argc, char** argv)                                     \
    {                                                                   \
        testsupport::requireSandbox();                                  \
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);              \
        QApplication app(argc, argv);                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                        \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return QTest::qExec(&tc, argc, argv);                           \
    }
