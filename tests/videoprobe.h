#pragma once

#include <QGuiApplication>
#include <QImage>
#include <QObject>
#include <QScreen>
#include <QSet>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

// Watches the frames a video sink receives, so a test can tell a picture that moves from a
// black or frozen one. Frames are kept as they come (cheap, shared) and converted on demand.
class VideoProbe : public QObject
{
public:
    explicit VideoProbe(QVideoSink* sink, QObject* parent = nullptr)
        : QObject(parent)
    {
        connect(sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            if (!frame.isValid())
                return;
            ++m_frames;
            m_last = frame;
        });
    }

    int frames() const { return m_frames; }
    QImage lastImage() const { return QVideoFrame(m_last).toImage(); }

    // Distinct colours on a coarse grid: a test pattern gives hundreds, black or grey one.
    static int distinctColours(const QImage& image)
    {
        if (image.isNull())
            return 0;
        QSet<QRgb> colours;
        const int stepX = qMax(1, image.width() / 64);
        const int stepY = qMax(1, image.height() / 64);
        for (int y = 0; y < image.height(); y += stepY)
            for (int x = 0; x < image.width(); x += stepX)
                colours.insert(image.pixel(x, y));
        return colours.size();
    }

    // What the screen really shows over the widget (QWidget::grab() misses the video).
    static QImage onScreen(QWidget* widget)
    {
        const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
        QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
        return screen->grabWindow(0, origin.x(), origin.y(), widget->width(), widget->height())
            .toImage();
    }

private:
    int m_frames = 0;
    QVideoFrame m_last;
};
