#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QSize>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QProgressBar;

// A label that holds one camera file: it fetches the file's thumbnail, and on a double-click
// either asks for the video to be played or downloads the full picture and shows it in a
// picture dialog of its own.
//
// A thumbnail is kept as the JPEG the camera sent (a few KB) and decoded only when painted,
// through a small cache shared by all labels: a card of thousands of files would otherwise
// hold hundreds of KB of pixels per tile. The label keeps the room of a thumbnail from the
// start, so that one arriving changes no layout (a layout of the grid costs as much as the
// grid has tiles).
class PictureLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PictureLabel(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~PictureLabel() override;

    // Stores the media path and requests its thumbnail.
    void setFileName(const QString& path);
    QString fileName() const { return m_fileName; }
    // The last full-size picture, else the thumbnail (decoded now if not cached).
    QImage image() const;
    // A thumbnail arrived and can be shown.
    bool hasThumbnail() const { return m_thumbnailSize.isValid(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool pictureRequested() const { return !m_pictureReplies.isEmpty(); }

signals:
    void doubleClicked(const QString& path);

public slots:
    void replyFinished(QNetworkReply* reply);
    void replayDownloadProgress(qint64 received, qint64 total);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    QImage m_image;

private:
    void requestPicture();
    void showPicture(QNetworkReply* reply);
    void takeThumbnail(const QByteArray& data);
    QImage thumbnail() const;
    QSize thumbnailHint() const;
    // Whether some part of widget lies in the visible part of its window.
    static bool inView(const QWidget* widget);

    // Shared by all labels; see ThumbnailQueue.
    QNetworkAccessManager* m_manager = nullptr;
    QString m_fileName;
    // Full-size downloads in flight: a finished reply in here is a picture, any other a
    // thumbnail.
    QList<QNetworkReply*> m_pictureReplies;
    QProgressBar* m_progressBar = nullptr;
    QByteArray m_thumbnailData;
    QSize m_thumbnailSize;
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
