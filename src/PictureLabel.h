#pragma once

#include <QImage>
#include <QLabel>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QProgressBar;

// A label that holds one camera file: it fetches the file's thumbnail, and on a double-click
// either asks for the video to be played or downloads the full picture and shows it in a
// picture dialog of its own.
class PictureLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PictureLabel(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~PictureLabel() override;

    // Stores the media path and requests its thumbnail.
    void setFileName(const QString& path);
    QString fileName() const { return m_fileName; }
    const QImage& image() const { return m_image; }
    bool pictureRequested() const { return !m_pictureReplies.isEmpty(); }

signals:
    void doubleClicked(const QString& path);

public slots:
    void replyFinished(QNetworkReply* reply);
    void replayDownloadProgress(qint64 received, qint64 total);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    QImage m_image;

private:
    void requestPicture();
    void showPicture(QNetworkReply* reply);

    // Shared by all labels; see ThumbnailQueue.
    QNetworkAccessManager* m_manager = nullptr;
    QString m_fileName;
    // Full-size downloads in flight: a finished reply in here is a picture, any other a
    // thumbnail.
    QList<QNetworkReply*> m_pictureReplies;
    QProgressBar* m_progressBar = nullptr;
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
