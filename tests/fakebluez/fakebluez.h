#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fake BlueZ with a fake camera (fakebluez.py, a python-dbusmock template) on a private
// D-Bus system bus of the test's own, so the real Qt Bluetooth stack runs against it.
class FakeBluez
{
public:
    // Points the process at the private bus; must run before anything opens the system bus.
    static void prepareEnvironment();
    static QString busDirectory();

    ~FakeBluez();

    bool start(QString* error);
    void stop();

    // Rebuilds adapter and devices from the template's defaults overlaid with config.
    bool configure(const QJsonObject& config = QJsonObject());
    QStringList writes() const;
    void dropLink(const QString& address);
    void notify(const QString& shortUuid, const QByteArray& data);
    void readvertise(const QString& address, int rssi);

    static const char* const kCameraAddress;

private:
    QProcess m_bus;
    QProcess m_mock;
};

// VELKAMO_TEST_MAIN with the private system bus chosen before the application exists.
#define FAKEBLUEZ_TEST_MAIN(TestObject)                                 \
    int main(int argc, char** argv)                                     \
    {                                                                   \
        testsupport::requireSandbox();                                  \
        FakeBluez::prepareEnvironment();                                \
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);              \
        QApplication app(argc, argv);                                   \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return QTest::qExec(&tc, argc, argv);                           \
    }
