// Player figures against the camera simulator, inside the network sandbox (with --xvfb):
//   velkamo-bench-preview [RUNS]
// For the live preview: from pressing Start to the first frame handed to the video widget and
// to the first frame visible on screen. For a file: the same from double-clicking a video
// tile. Prints "key value" lines (each run, then the median).

#include "camsim.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "picturelabel.h"
#include "previewform.h"
#include "prompt.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <memory>

namespace {

QList<mediaplayer*> playerWindows()
{
    QList<mediaplayer*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* player = qobject_cast<mediaplayer*>(w))
            found << player;
    return found;
}

bool patternOnScreen(QWidget* video)
{
    if (!video->isVisible() || video->width() < 16)
        return false;
    const QPoint origin = video->mapToGlobal(QPoint(0, 0));
    const QImage image = video->screen()
                             ->grabWindow(0, origin.x(), origin.y(), video->width(), video->height())
                             .toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += qMax(1, image.height() / 32))
        for (int x = 0; x < image.width(); x += qMax(1, image.width() / 32))
            colours.insert(image.pixel(x, y));
    return colours.size() > 50;
}

struct Timing {
    qint64 frame = -1;    // first frame at the video widget's sink
    qint64 onScreen = -1; // first time the screen shows it
};

// Starts the clock, runs `trigger`, and times the new player window's first frame.
Timing timeFirstFrame(const std::function<void()>& trigger, int timeoutMs = 15000)
{
    Timing t;
    const QList<mediaplayer*> before = playerWindows();
    QElapsedTimer clock;
    clock.start();
    trigger();
    mediaplayer* window = nullptr;
    QMetaObject::Connection frames;
    while (clock.elapsed() < timeoutMs && t.onScreen < 0) {
        if (!window) {
            for (mediaplayer* w : playerWindows())
                if (!before.contains(w))
                    window = w;
            if (window) {
                frames = QObject::connect(window->findChild<VideoWidget*>()->videoSink(),
                                          &QVideoSink::videoFrameChanged, window,
                                          [&t, &clock](const QVideoFrame& frame) {
                                              if (frame.isValid() && t.frame < 0)
                                                  t.frame = clock.elapsed();
                                          });
            }
        }
        if (window && t.frame >= 0 && patternOnScreen(window->findChild<VideoWidget*>()))
            t.onScreen = clock.elapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(2000);
    }
    QObject::disconnect(frames);
    if (window)
        window->close();
    QTest::qWait(300);
    return t;
}

qint64 median(QList<qint64> values)
{
    values.removeAll(-1);
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const int runs = app.arguments().size() > 1 ? app.arguments().at(1).toInt() : 5;
    testsupport::installFreshDataTree();
    Prompt::setResponder([](const Prompt::Request&) { return Prompt::Answer(); });

    CamSim sim;
    if (!sim.start({QStringLiteral("--media-count"), QStringLiteral("4")}))
        return 1;
    QString video;
    const QJsonArray folders =
        QJsonDocument::fromJson(sim.mediaList()).object().value("media").toArray();
    for (const QJsonValue& folder : folders)
        for (const QJsonValue& file : folder.toObject().value("fs").toArray())
            if (video.isEmpty() && file.toObject().value("n").toString().endsWith(".MP4"))
                video = folder.toObject().value("d").toString() + "/" + file.toObject().value("n").toString();

    MainWindow window;
    window.resize(1100, 700);
    window.show();
    // Online on the first keep-alive answer; the grid of the list fetched then is the one used.
    if (!sim.waitForRequest("/gp/gpMediaList", 15000, 2)
        || !QTest::qWaitFor([&] { return window.findChild<PreviewForm*>(video) != nullptr; }, 15000)) {
        std::fprintf(stderr, "the window did not come online with its grid\n");
        return 1;
    }
    QTest::qWait(500);
    window.findChild<QCheckBox*>("checkBox_3rdPreview")->setChecked(false);

    QList<qint64> previewFrame, previewScreen, fileFrame, fileScreen;
    for (int i = 0; i < runs; ++i) {
        const Timing preview = timeFirstFrame(
            [&] { window.findChild<QPushButton*>("pbStart_LiveView")->click(); });
        window.findChild<QPushButton*>("pbStopLiveView")->click();
        if (!QTest::qWaitFor([&] { return !sim.state().value("streaming").toBool(); }, 5000)) {
            std::fprintf(stderr, "the camera still streams 5 s after the preview stopped\n");
            return 1;
        }
        std::printf("run %d preview_first_frame_ms %lld preview_on_screen_ms %lld\n", i + 1,
                    preview.frame, preview.onScreen);
        previewFrame << preview.frame;
        previewScreen << preview.onScreen;

        const Timing file = timeFirstFrame([&] {
            QTest::mouseDClick(window.findChild<PreviewForm*>(video)->picture(), Qt::LeftButton);
        });
        std::printf("run %d file_first_frame_ms %lld file_on_screen_ms %lld\n", i + 1, file.frame,
                    file.onScreen);
        fileFrame << file.frame;
        fileScreen << file.onScreen;
        std::fflush(stdout);
    }
    std::printf("preview_first_frame_ms %lld\npreview_on_screen_ms %lld\n", median(previewFrame),
                median(previewScreen));
    std::printf("file_first_frame_ms %lld\nfile_on_screen_ms %lld\n", median(fileFrame),
                median(fileScreen));
    return 0;
}
