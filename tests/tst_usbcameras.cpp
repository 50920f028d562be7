// Cameras on a USB cable: which interfaces are cameras, what a camera says about itself, and
// the model remembered for each serial.

#include "camerainfo.h"
#include "rememberedmodels.h"
#include "testsupport.h"
#include "usbcamerafinder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestUsbCameras : public QObject
{
    Q_OBJECT

private slots:
    // A PC address in a camera's subnet points to the camera at .51; sysfs, where it tells,
    // must agree (GoPro's vendor id, a serial ending in the subnet's digits).
    void cameraFromInterface_data()
    {
        QTest::addColumn<QString>("pc");
        QTest::addColumn<QString>("vendor"); // empty: sysfs tells nothing
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("camera"); // empty: not a camera
        QTest::newRow("serial ...789") << "172.27.189.52" << "2672" << "C0000123456789" << "172.27.189.51";
        QTest::newRow("no sysfs (a tap)") << "172.23.118.53" << "" << "" << "172.23.118.51";
        QTest::newRow("serial ...583") << "172.25.183.54" << "2672" << "C3501324645583" << "172.25.183.51";
        QTest::newRow("serial of another camera") << "172.27.189.52" << "2672" << "C0000123456788" << "";
        QTest::newRow("another vendor") << "172.27.189.52" << "0bda" << "" << "";
        QTest::newRow("home network") << "192.168.1.52" << "" << "" << "";
        QTest::newRow("not 172.2X") << "172.31.189.52" << "" << "" << "";
        QTest::newRow("not 1YZ") << "172.27.89.52" << "" << "" << "";
        QTest::newRow("the camera's own address") << "172.27.189.51" << "" << "" << "";
    }
    void cameraFromInterface()
    {
        QFETCH(QString, pc);
        QFETCH(QString, vendor);
        QFETCH(QString, serial);
        QFETCH(QString, camera);
        // A sysfs tree as the kernel lays it out for a USB network adapter.
        QTemporaryDir sys;
        const QString device = sys.filePath("devices/usb1/1-1");
        QVERIFY(QDir().mkpath(device + "/1-1:1.0") && QDir().mkpath(sys.filePath("class/net/enx1")));
        for (const auto& [name, value] : {std::pair{"idVendor", vendor}, std::pair{"serial", serial}}) {
            QFile file(device + "/" + name);
            if (!value.isEmpty() && file.open(QIODevice::WriteOnly))
                file.write(value.toLatin1() + "\n");
        }
        if (!vendor.isEmpty())
            QVERIFY(QFile::link("../../../devices/usb1/1-1/1-1:1.0", sys.filePath("class/net/enx1/device")));
        UsbCameraFinder finder(nullptr, sys.path());
        const UsbCameraFinder::UsbDevice usb = finder.usbDevice("enx1");
        QCOMPARE(usb.serial, serial);
        const QHostAddress found = UsbCameraFinder::cameraFor(QHostAddress(pc));
        const bool fits = !found.isNull() && UsbCameraFinder::fits(usb, found);
        QCOMPARE(fits ? found.toString() : QString(), camera);
    }

    // Both info answers; what is shown or used as a name is clean, whatever comes.
    void cameraInfo_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("generation");
        QTest::addColumn<QString>("serial");
        QTest::newRow("newer family") << QByteArray(R"({"ap_ssid":"GP24645504","model_name":"HERO12 Black",
            "model_number":"62","serial_number":"C3501324645504"})") << "HERO12 Black" << 12 << "C3501324645504";
        QTest::newRow("older family") << QByteArray(R"({"info":{"model_number":24,"model_name":"HERO6 Black",
            "serial_number":"C3221324531997"}})") << "HERO6 Black" << 6 << "C3221324531997";
        QTest::newRow("serial that could name a path") << QByteArray(R"({"model_name":"HERO13 Black",
            "serial_number":"../../x"})") << "HERO13 Black" << 13 << "";
        QTest::newRow("name with control characters")
            << QByteArray("{\"model_name\":\"HERO11\\u0000 Mini\\n\",\"serial_number\":123}") << "HERO11 Mini" << 11 << "123";
        QTest::newRow("not a camera's") << QByteArray(R"({"model_name":"Max 360"})") << "Max 360" << 0 << "";
        QTest::newRow("not JSON") << QByteArray("<html>") << "" << 0 << "";
    }
    void cameraInfo()
    {
        QFETCH(QByteArray, body);
        const CameraInfo info = CameraInfo::parse(body);
        QTEST(info.modelName, "name");
        QTEST(info.generation, "generation");
        QTEST(info.serial, "serial");
    }

    void modelsRememberedBySerial()
    {
        QTemporaryDir dir;
        const RememberedModels models(dir.filePath("velkamo/cameras.json"));
        QCOMPARE(models.model("C3501324645504"), QString());
        QVERIFY(models.remember("C3501324645504", "hero12"));
        QVERIFY(models.remember("C3441326543583", "hero10"));
        QVERIFY(!models.remember("", "hero9"));
        QCOMPARE(RememberedModels(dir.filePath("velkamo/cameras.json")).model("C3501324645504"), QString("hero12"));
        QCOMPARE(models.model("C3441326543583"), QString("hero10"));
    }
};

VELKAMO_TEST_MAIN(TestUsbCameras)
#include "tst_usbcameras.moc"
