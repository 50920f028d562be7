#include "previewform.h"
#include "ui_previewform.h"

#include "medialist.h"

#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

#include <utility>

PreviewForm::PreviewForm(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::PreviewForm)
{
    ui->setupUi(this);
    // File names come from the camera: never let one be read as markup.
    ui->labelFile->setTextFormat(Qt::PlainText);
    connect(ui->checkBoxFile, &QCheckBox::clicked, this, &PreviewForm::slotSelectedChanged);
    ui->checkBoxFile->installEventFilter(this);
    connect(ui->labelPicture, &PictureLabel::doubleClicked, this, [this](const QString& file) {
        undoClick();
        emit doubleClicked(file);
    });
    connect(ui->labelPicture, &PictureLabel::pictureRequested, this, [this](const QString& file) {
        undoClick();
        emit pictureRequested(file);
    });
}

PreviewForm::~PreviewForm()
{
    delete ui;
}

void PreviewForm::setFile(const QString& path, qint64 modified, const MediaSource& source)
{
    m_file = path;
    m_source = source;
    ui->labelFile->setText(MediaList::fileName(path));
    ui->labelPicture->setFileName(path, modified, source);
}

void PreviewForm::setGroupFiles(int count)
{
    // A burst is one tile for many files: the count says what a tick takes.
    const QString name = MediaList::fileName(m_file);
    if (count <= 0)
        ui->labelFile->setText(name);
    else
        ui->labelFile->setText(count == 1 ? tr("%1 · 1 file").arg(name) : tr("%1 · %2 files").arg(name).arg(count));
}

void PreviewForm::setSelected(bool selected)
{
    if (selected != m_selected)
        update();
    m_selected = selected;
    const QSignalBlocker blocker(ui->checkBoxFile);
    ui->checkBoxFile->setChecked(selected);
}

void PreviewForm::setCurrent(bool current)
{
    if (current != m_current)
        update();
    m_current = current;
}

PictureLabel* PreviewForm::picture() const
{
    return ui->labelPicture;
}

void PreviewForm::setDownloaded(const QString& folder)
{
    if (!m_downloaded) {
        if (folder.isEmpty())
            return;
        m_downloaded = new QLabel(tr("Downloaded"), this);
        m_downloaded->setObjectName(QStringLiteral("labelDownloaded"));
    }
    m_downloaded->setToolTip(tr("Already in %1").arg(QDir::toNativeSeparators(folder)));
    m_downloaded->setVisible(!folder.isEmpty());
    m_downloaded->adjustSize();
    m_downloaded->raise();
    placeDownloaded();
}

void PreviewForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeDownloaded();
}

// In the thumbnail's top right corner, over the picture: the tile's layout stays as it is.
void PreviewForm::placeDownloaded()
{
    if (!m_downloaded)
        return;
    const QRect picture = ui->labelPicture->geometry();
    m_downloaded->move(picture.right() - m_downloaded->width() - 3, picture.top() + 3);
}

void PreviewForm::slotSelectedChanged(bool selected)
{
    setSelected(selected);
    const bool range = std::exchange(m_clickModifiers, Qt::NoModifier) & Qt::ShiftModifier;
    if (range)
        emit rangeSelected(m_selected, m_file);
    else
        emit selectedChanged(m_selected, m_file);
}

bool PreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    // The check box says it was clicked, not how: the modifiers of the release (or key)
    // that clicked it tell a Shift+click.
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        m_clickModifiers = static_cast<QMouseEvent*>(event)->modifiers();
        break;
    case QEvent::KeyRelease:
        m_clickModifiers = static_cast<QKeyEvent*>(event)->modifiers();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewForm::mousePressEvent(QMouseEvent* event)
{
    // The thumbnail and the name pass their presses on: they are the tile too.
    m_pressed = event->button() == Qt::LeftButton;
    m_clickTicked = false;
}

void PreviewForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!std::exchange(m_pressed, false) || event->button() != Qt::LeftButton
        || !rect().contains(event->position().toPoint()))
        return;
    m_clickModifiers = event->modifiers();
    m_clickTicked = !(m_clickModifiers & Qt::ShiftModifier);
    slotSelectedChanged(!m_selected);
}

void PreviewForm::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ui->labelPicture->open();
}

void PreviewForm::undoClick()
{
    if (std::exchange(m_clickTicked, false))
        slotSelectedChanged(!m_selected);
}

void PreviewForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!m_selected && !m_current)
        return;
    // In the margins around the thumbnail: a frame at the edge for a tick, a ring inside it
    // for the current tile. Highlight and text colours stand out on the window's background.
    constexpr qreal kFrame = 3;
    constexpr qreal kRing = 2;
    QPainter painter(this);
    const QRectF edge = QRectF(rect()).adjusted(kFrame / 2, kFrame / 2, -kFrame / 2, -kFrame / 2);
    if (m_selected) {
        QColor tint = palette().color(QPalette::Highlight);
        tint.setAlpha(48);
        painter.fillRect(rect(), tint);
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFrame));
        painter.drawRect(edge);
    }
    if (m_current) {
        const qreal inset = kFrame / 2 + 1 + kRing / 2;
        painter.setPen(QPen(palette().color(QPalette::WindowText), kRing));
        painter.drawRect(edge.adjusted(inset, inset, -inset, -inset));
    }
}
