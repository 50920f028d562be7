#include "picturelabel.h"
#include "camerarequests.h"

#include "medialist.h"
#include "thumbnailcache.h"
#include "thumbnailqueue.h"
#include "zoommath.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QDebug>
#include <QImageReader>
#include <QMouseEvent>
#include <QNetworkReply>
#include <QStyle>
#include <QWheelEvent>

namespace {

// Tiles get at most the room of the cameras' own thumbnails: what a picture claims about its
// size must not size every tile, nor its decode. A larger thumbnail is scaled down into that
// room (a camera may well send larger ones); one more than eight times larger each way is
// refused, as even libjpeg's quickest decode, at an eighth, would not fit in it (a few KB
// claiming 20000 x 20000 pixels take 25 MB to check at an eighth, and 1.6 GB to paint).
constexpr QSize kMaxThumbnail(320, 240);
constexpr int kMaxThumbnailShrink = 8;

// The room a tile keeps for its thumbnail before it arrives: the size of the last one seen
// (the camera's thumbnails all have one size), at first the usual 320 x 240.
QSize g_thumbnailRoom = kMaxThumbnail;

// The size a picture of this size is shown at in a tile; invalid when it is refused.
QSize shownSize(QSize size)
{
    if (size.width() > kMaxThumbnail.width() * kMaxThumbnailShrink
        || size.height() > kMaxThumbnail.height() * kMaxThumbnailShrink)
        return {};
    if (size.width() <= kMaxThumbnail.width() && size.height() <= kMaxThumbnail.height())
        return size;
    return size.scaled(kMaxThumbnail, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

PictureLabel::PictureLabel(QWidget* parent, Qt::WindowFlags flags)
    : QLabel(parent, flags)
{
}

PictureLabel::~PictureLabel() = default;

void PictureLabel::setFileName(const QString& path, qint64 modified, const MediaSource& source)
{
    const bool wasThumbnail = !m_fileName.isEmpty();
    ThumbnailQueue* queue = ThumbnailQueue::shared();
    queue->cancel(this);
    m_fileName = path;
    m_thumbnailData.clear();
    m_thumbnailSize = QSize();
    m_thumbnailImage = QImage();
    m_scaledImage = QImage();
    m_image = QImage(); // a full picture of the file before
    if (!wasThumbnail)
        updateGeometry(); // from now on it keeps the room of a thumbnail
    update();
    // Numbers start again after a format: a cached thumbnail is only good for the same time.
    // Two cameras hold files of the same names, and one address is every camera's access point.
    const QString key = QString::number(source.camera) + QLatin1Char('/') + path + QLatin1Char('#')
        + QString::number(modified);
    m_key = key;
    ThumbnailCache::Thumbnail cached;
    if (ThumbnailCache::shared().find(key, &cached)) {
        showThumbnail(cached.data, cached.size);
        return;
    }
    if (!source.isValid())
        return;
    queue->fetch(CameraRequests::thumbnail(source.address, source.model, path), source.network, this,
                 [this, path, key](QNetworkReply* reply) {
                     if (reply->error() != QNetworkReply::NoError)
                         qDebug() << "thumbnail failed" << path << reply->errorString();
                     else
                         takeThumbnail(key, reply->readAll());
                 });
}

void PictureLabel::takeThumbnail(const QString& key, const QByteArray& data)
{
    // Decoded at an eighth of its size to see that it decodes at all: the entropy data is
    // read through, the pixels are not kept.
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    const QSize shown = shownSize(size);
    if (!size.isValid() || !shown.isValid()) {
        qDebug() << "thumbnail refused" << key << size;
        return;
    }
    reader.setScaledSize(QSize(std::max(1, size.width() / 8), std::max(1, size.height() / 8)));
    if (reader.read().isNull())
        return;

    ThumbnailCache::Thumbnail thumbnail{data, shown};
    thumbnail.data.squeeze(); // the reply's buffer may be larger than the picture
    ThumbnailCache::shared().insert(key, thumbnail);
    g_thumbnailRoom = shown;
    // The label may have been given another file, or another camera's, since it asked.
    if (key == m_key)
        showThumbnail(thumbnail.data, shown);
}

void PictureLabel::showThumbnail(const QByteArray& data, QSize size)
{
    m_thumbnailData = data;
    m_thumbnailSize = size;
    m_thumbnailImage = QImage();
    m_scaledImage = QImage();
    if (thumbnailHint() != m_reportedHint)
        updateGeometry();
    update();
}

QImage PictureLabel::thumbnail() const
{
    if (!hasThumbnail())
        return {};
    if (m_thumbnailImage.isNull()) {
        QBuffer buffer;
        buffer.setData(m_thumbnailData);
        QImageReader reader(&buffer);
        if (reader.size() != m_thumbnailSize)
            reader.setScaledSize(m_thumbnailSize);
        m_thumbnailImage = reader.read();
    }
    return m_thumbnailImage;
}

QImage PictureLabel::image() const
{
    return m_image.isNull() ? thumbnail() : m_image;
}

QSize PictureLabel::thumbnailHint() const
{
    const QSize picture = hasThumbnail() ? m_thumbnailSize : g_thumbnailRoom;
    const QMargins margins = contentsMargins();
    const int frame = 2 * margin();
    return picture
        + QSize(margins.left() + margins.right() + frame, margins.top() + margins.bottom() + frame);
}

QSize PictureLabel::sizeHint() const
{
    // Only a label that holds a camera file is a thumbnail; the name label and the viewer
    // are ordinary labels.
    if (m_fileName.isEmpty())
        return QLabel::sizeHint();
    m_reportedHint = thumbnailHint();
    return m_reportedHint;
}

QSize PictureLabel::minimumSizeHint() const
{
    // The grid gives a thumbnail the width of its column, smaller than its own or larger.
    return m_fileName.isEmpty() ? QLabel::minimumSizeHint() : QSize(1, 1);
}

void PictureLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasThumbnail())
        return;
    // Scaled to the room the tile has, its shape kept, placed by the alignment.
    QRect area = contentsRect();
    area.adjust(margin(), margin(), -margin(), -margin());
    const QSize size = m_thumbnailSize.scaled(area.size(), Qt::KeepAspectRatio);
    if (size.isEmpty())
        return;
    // Decoded at the size shown, once for each size: not scaled at every paint of a scroll,
    // and no picture kept at another size besides.
    if (m_scaledImage.size() != size) {
        QBuffer buffer;
        buffer.setData(m_thumbnailData);
        QImageReader reader(&buffer);
        reader.setScaledSize(size);
        m_scaledImage = reader.read();
        if (m_scaledImage.isNull())
            return;
    }
    const QRect target = QStyle::alignedRect(layoutDirection(),
                                             QStyle::visualAlignment(layoutDirection(), alignment()),
                                             size, area);
    QPainter painter(this);
    painter.drawImage(target.topLeft(), m_scaledImage);
}

void PictureLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        qDebug() << "Left button";
        setFocus(Qt::OtherFocusReason);
    }
    QLabel::mousePressEvent(event);
}

void PictureLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A label without a file (a tile's name) leaves the double-click to the tile.
    if (m_fileName.isEmpty()) {
        event->ignore();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    qDebug() << "double click";
    open();
}

void PictureLabel::open()
{
    if (m_fileName.isEmpty())
        return;
    if (MediaList::isVideo(m_fileName))
        emit doubleClicked(m_fileName);
    else
        emit pictureRequested(m_fileName);
}

// ---------------------------------------------------------------------------------------

PictureShow::PictureShow(QWidget* parent, Qt::WindowFlags flags)
    : PictureLabel(parent, flags)
{
    setBackgroundRole(QPalette::Base);
}

void PictureShow::setImage(const QImage& image)
{
    if (window() != this)
        resize(window()->size());
    m_image = image;
    qDebug() << "picture show " << float(height()) << " " << float(width());
    if (!m_image.isNull())
        m_scale = ZoomMath::fitScale(size(), m_image.size());
    qDebug() << "scale " << m_scale;
    update();
}

void PictureShow::setScale(float steps)
{
    m_scale = ZoomMath::stepScale(m_scale, steps);
    qDebug() << "set scale " << m_scale;
    update();
}

void PictureShow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        qDebug() << "Left button";
        setFocus(Qt::OtherFocusReason);
        m_lastPos = event->position().toPoint();
    }
    QLabel::mousePressEvent(event);
}

void PictureShow::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The viewer already shows the picture: no second download.
    event->accept();
}

void PictureShow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        m_offset += pos - m_lastPos;
        update();
    }
    m_lastPos = pos;
}

void PictureShow::wheelEvent(QWheelEvent* event)
{
    m_scale = ZoomMath::wheelScale(m_scale, event->angleDelta().y());
    update();
}

void PictureShow::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    if (m_image.isNull())
        return;
    m_painter.begin(this);
    m_painter.scale(m_scale, m_scale);
    m_painter.translate(QPointF(m_offset));
    m_painter.drawImage(ZoomMath::drawOrigin(size(), m_image.size(), m_scale), m_image);
    m_painter.end();
}

void PictureShow::closeEvent(QCloseEvent* event)
{
    event->accept();
    deleteLater();
    qDebug() << "picture show deletelater";
}
