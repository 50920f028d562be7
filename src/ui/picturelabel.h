#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QHash>
#include <QPainter>
#include <QPoint>
#include <QSize>
#include <QString>

#include "mediasource.h"


// A label that holds one camera file: it fetches the file's thumbnail, and on a double-click
// asks for the file to be opened: played (a video) or shown (a picture). Opening is not the
// label's to do: a grid rebuilt while a picture is on its way, or while a box about it is
// open, deletes the label.
//
// A thumbnail is kept as the JPEG the camera sent (a few KB, shared with ThumbnailCache) and
// decoded when first painted. The grid gives a label another file as the user scrolls; the
// label then drops the old file's waiting request. It keeps the room of a thumbnail from the
// start, so that one arriving changes no layout.
class PictureLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PictureLabel(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~PictureLabel() override;

    // Stores the media path and shows its thumbnail from the cache or requests it of the
    // camera source names; modified is the file's time on the card.
    void setFileName(const QString& path, qint64 modified = 0, const MediaSource& source = MediaSource());
    QString fileName() const { return m_fileName; }
    // The last full-size picture, else the thumbnail (decoded now if not cached).
    QImage image() const;
    // The thumbnail of the current file arrived and can be shown.
    bool hasThumbnail() const { return m_thumbnailSize.isValid(); }
    // Asks for the file to be opened, as a double-click does.
    void open();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A video was double-clicked.
    void doubleClicked(const QString& path);
    // A picture was double-clicked.
    void pictureRequested(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    QImage m_image;

private:
    void takeThumbnail(const QString& key, const QByteArray& data);
    void showThumbnail(const QByteArray& data, QSize size);
    QImage thumbnail() const;
    QSize thumbnailHint() const;

    QString m_fileName;
    // The camera, file and time whose thumbnail is shown: an answer for any other is not.
    QString m_key;
    QByteArray m_thumbnailData;
    // The size it is shown at: its own, or scaled down into the room of a tile.
    QSize m_thumbnailSize;
    mutable QImage m_thumbnailImage; // decoded when asked for
    QImage m_scaledImage;            // as painted, at the size the tile gives it
    // The hint the layout last read: a thumbnail of another size must tell the layout.
    mutable QSize m_reportedHint;
};

// The drawing area of the picture dialog: fits the picture on arrival, zooms with the wheel
// and the dialog's slider, pans while dragged with the left button.
class PictureShow : public PictureLabel
{
    Q_OBJECT

public:
    explicit PictureShow(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Fits image into the widget at the size of its window (the dialog, sized by whoever
    // opens it).
    void setImage(const QImage& image);
    // Zooms by steps tenths of the current scale.
    void setScale(float steps);
    float scale() const { return m_scale; }
    QPoint offset() const { return m_offset; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    float m_scale = 1.0f;
    QPoint m_lastPos;
    QPoint m_offset;
    QPainter m_painter;
};
