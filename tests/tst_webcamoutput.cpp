// The webcam output: a real H.264 stream in MPEG-TS over UDP (ffmpeg with libx264, as a camera
// sends it) decoded and offered as a PipeWire video source of a private daemon; the stream
// stopping; which v4l2loopback device it picks, from a sysfs staged over the real one; and the
// clear failures a user can act on.

#include "fakesysfs.h"
#include "loopbackdevices.h"
#include "pipewiredaemon.h"
#include "testsupport.h"
#include "webcamoutput.h"

#include <QProcess>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <gst/gst.h>

#include <memory>

namespace {

const QString kName = QStringLiteral("HERO12 Black …583");

// A camera's webcam stream: 30 frames a second, a key frame every half second.
std::unique_ptr<QProcess> startStream(quint16 port, const QString& size)
{
    auto ffmpeg = std::make_unique<QProcess>();
    ffmpeg->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg->start(QStringLiteral("ffmpeg"),
                  {"-nostdin", "-hide_banner", "-loglevel", "error", "-re", "-f", "lavfi", "-i",
                   "testsrc2=size=" + size + ":rate=30", "-t", "120", "-c:v", "libx264", "-preset",
                   "ultrafast", "-tune", "zerolatency", "-g", "15", "-pix_fmt", "yuv420p", "-b:v",
                   "6M", "-f", "mpegts", QStringLiteral("udp://127.0.0.1:%1?pkt_size=1316").arg(port)});
    if (!ffmpeg->waitForStarted(5000))
        return nullptr;
    return ffmpeg;
}

} // namespace

class TestWebcamOutput : public QObject
{
    Q_OBJECT

    PipeWireDaemon m_pipewire;

private slots:
    void initTestCase()
    {
        // The output reads the real default path, where the test stages the devices.
        const QString why = fakesysfs::stageVideo4Linux();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        const QString started = m_pipewire.start();
        QVERIFY2(started.isEmpty(), qPrintable(started));
    }

    void init() { fakesysfs::clearVideo4Linux(); }

    void cleanupTestCase()
    {
        m_pipewire.stop();
        fakesysfs::unstageVideo4Linux();
    }

    void offersPipeWireSourceNamedForCamera()
    {
        const auto stream = startStream(8554, "1920x1080");
        QVERIFY(stream);
        WebcamOutput output;
        QSignalSpy started(&output, &WebcamOutput::started);
        QSignalSpy frames(&output, &WebcamOutput::frameShown);
        QSignalSpy failed(&output, &WebcamOutput::failed);
        output.start(QHostAddress::Any, 8554, kName);
        QVERIFY(output.isRunning());
        // No v4l2loopback here: the user is told how to add one.
        QVERIFY(output.loopbackAdvice().contains("v4l2loopback-dkms"));
        QVERIFY(output.loopbackAdvice().contains(LoopbackDevices::modprobeLine()));

        QTRY_COMPARE_WITH_TIMEOUT(m_pipewire.videoSource(kName).size, QSize(1920, 1080), 5000);
        QCOMPARE(m_pipewire.videoSource(kName).name, "velkamo-hero12-black-583");
        // A program reading it gets the frames at that size.
        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedChannels);
        reader.start("gst-launch-1.0", {"-q", "pipewiresrc", "target-object=velkamo-hero12-black-583",
                                        "stream-properties=props,node.name=tst-reader", "num-buffers=90",
                                        "!", "fakesink", "sync=false"});
        QCOMPARE(m_pipewire.link("velkamo-hero12-black-583", "tst-reader"), QString());
        QTRY_VERIFY_WITH_TIMEOUT(m_pipewire.videoSource(kName).negotiated, 3000);
        QCOMPARE(m_pipewire.videoSource(kName).size, QSize(1920, 1080));
        QVERIFY(reader.waitForFinished(10000));
        QCOMPARE(reader.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
        QCOMPARE(started.first().first().toString(), "velkamo-hero12-black-583");
        QCOMPARE(output.where(), "velkamo-hero12-black-583");
        // The window's copy is small.
        QTRY_VERIFY_WITH_TIMEOUT(!frames.isEmpty(), 3000);
        QCOMPARE(frames.last().first().value<QImage>().size(), QSize(640, 360));
        QCOMPARE(failed.count(), 0);

        QSignalSpy stopped(&output, &WebcamOutput::stopped);
        output.stop();
        QCOMPARE(stopped.count(), 1);
        QVERIFY(!output.isRunning());
        QVERIFY(output.where().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(m_pipewire.videoSource(kName).name.isEmpty(), 4000);
    }

    // The camera unplugged: no datagram comes any more, and the output says so.
    void saysWhenStreamStops()
    {
        auto stream = startStream(8556, "1280x720");
        QVERIFY(stream);
        WebcamOutput output;
        QSignalSpy started(&output, &WebcamOutput::started);
        QSignalSpy stalled(&output, &WebcamOutput::stalled);
        output.start(QHostAddress::LocalHost, 8556, kName);
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
        QCOMPARE(stalled.count(), 0);
        stream->kill();
        stream->waitForFinished();
        QTRY_COMPARE_WITH_TIMEOUT(stalled.count(), 1, 5000);
        QVERIFY(output.isRunning());
    }

    void choosesLoopbackDevice_data()
    {
        QTest::addColumn<QStringList>("staged"); // entry|label|state|format|loopback
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("adviceHas");

        QTest::newRow("none") << QStringList() << QStringList() << QString() << "v4l2loopback-dkms";
        QTest::newRow("a real camera is no loopback")
            << QStringList{"video0|Integrated Camera|||no"} << QStringList() << QString() << "v4l2loopback-dkms";
        QTest::newRow("the first free, by number")
            << QStringList{"video10|Dummy video device (0x0000)|output", "video2|OBS Virtual Camera|output"}
            << QStringList() << "/dev/video2" << QString();
        QTest::newRow("labelled for us first")
            << QStringList{"video2|Dummy video device (0x0000)|output", "video42|Velkamo|output"}
            << QStringList() << "/dev/video42" << QString();
        QTest::newRow("ours fed by another program")
            << QStringList{"video2|OBS Virtual Camera|output", "video42|Velkamo|capture|YU12:1920x1080@30"}
            << QStringList() << "/dev/video2" << QString();
        QTest::newRow("a reader waiting is no writer")
            << QStringList{"video42|Velkamo|output|YU12:1920x1080@30"} << QStringList() << "/dev/video42" << QString();
        QTest::newRow("older module holding a format")
            << QStringList{"video3|Dummy video device (0x0000)||YU12:1280x720@30", "video4|Dummy video device (0x0000)|"}
            << QStringList() << "/dev/video4" << QString();
        QTest::newRow("all taken")
            << QStringList{"video42|Velkamo|output", "video7|OBS|capture|YU12:640x480@30"}
            << QStringList{"/dev/video42"} << QString() << "in use (/dev/video7, /dev/video42)";
    }

    void choosesLoopbackDevice()
    {
        QFETCH(QStringList, staged);
        QFETCH(QStringList, taken);
        QFETCH(QString, chosen);
        QFETCH(QString, adviceHas);
        for (const QString& device : std::as_const(staged)) {
            const QStringList f = device.split('|');
            QCOMPARE(fakesysfs::addVideoDevice(f.value(0), f.value(1), f.value(2), f.value(3), f.value(4) != "no"),
                     QString());
        }
        const LoopbackDevices devices;
        QCOMPARE(devices.choose(taken), chosen);
        if (adviceHas.isEmpty())
            QCOMPARE(devices.advice(taken), QString());
        else
            QVERIFY2(devices.advice(taken).contains(adviceHas), qPrintable(devices.advice(taken)));
    }

    // A device sysfs shows but that cannot be written (here: no node in /dev at all) is left for
    // PipeWire, and the user is told why.
    void unusableDeviceFallsBackToPipeWire()
    {
        QCOMPARE(fakesysfs::addVideoDevice("video199", "Velkamo", "output"), QString());
        const auto stream = startStream(8558, "640x360");
        QVERIFY(stream);
        WebcamOutput output;
        QSignalSpy started(&output, &WebcamOutput::started);
        output.start(QHostAddress::Any, 8558, kName);
        QCOMPARE(output.loopbackAdvice(), "/dev/video199 cannot be opened: No such file or directory.");
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
        QCOMPARE(output.where(), "velkamo-hero12-black-583");
        QCOMPARE(m_pipewire.videoSource(kName).size, QSize(640, 360));
    }

    void failsClearly_data()
    {
        QTest::addColumn<QString>("hide");
        QTest::addColumn<QString>("message");
        QTest::newRow("no decoder") << "avdec_h264"
                                    << "The GStreamer element \"avdec_h264\" is missing: install the package gstreamer1.0-libav.";
        QTest::newRow("no PipeWire plugin") << "pipewiresink"
                                            << "The GStreamer element \"pipewiresink\" is missing: install the package gstreamer1.0-pipewire.";
        QTest::newRow("port taken") << QString() << "The camera's stream cannot be received on port 8560:";
    }

    void failsClearly()
    {
        QFETCH(QString, hide);
        QFETCH(QString, message);
        // The feature taken out of GStreamer's registry, as on a machine without its package.
        GstPluginFeature* hidden = nullptr;
        QUdpSocket squatter;
        if (hide.isEmpty()) {
            QVERIFY(squatter.bind(QHostAddress::Any, 8560, QUdpSocket::DontShareAddress));
        } else {
            gst_init(nullptr, nullptr);
            hidden = gst_registry_lookup_feature(gst_registry_get(), hide.toUtf8().constData());
            QVERIFY(hidden);
            gst_registry_remove_feature(gst_registry_get(), hidden);
        }
        auto restore = qScopeGuard([hidden] {
            if (hidden) {
                gst_registry_add_feature(gst_registry_get(), hidden);
                gst_object_unref(hidden);
            }
        });
        WebcamOutput output;
        QSignalSpy failed(&output, &WebcamOutput::failed);
        QSignalSpy started(&output, &WebcamOutput::started);
        output.start(QHostAddress::Any, 8560, kName);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 3000);
        QVERIFY2(failed.first().first().toString().startsWith(message), qPrintable(failed.first().first().toString()));
        QVERIFY(!output.isRunning());
        QCOMPARE(started.count(), 0);
        QVERIFY(m_pipewire.videoSource(kName).name.isEmpty());
    }
};

VELKAMO_TEST_MAIN(TestWebcamOutput)
#include "tst_webcamoutput.moc"
