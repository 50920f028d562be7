#include "destinationview.h"

#include "downloadcontrol.h"
#include "downloadedmarks.h"
#include "preferences.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
const char* const kHideKey = "downloads/hideDownloaded";
// Room for a path that says where it is, and no more than that; the tool tip has the rest.
// Less where the window is narrow: the row never makes it wider.
constexpr int kFolderChars = 36;
constexpr int kLeastChars = 8;
} // namespace

DestinationView::DestinationView(DownloadControl* downloads, DownloadedMarks* marks, QWidget* parent)
    : QWidget(parent)
    , m_folder(new QLabel(this))
    , m_change(new QPushButton(tr("Change…"), this))
    , m_hide(new QCheckBox(tr("Hide downloaded"), this))
{
    setObjectName(QStringLiteral("destinationView"));
    m_folder->setObjectName(QStringLiteral("labelDestination"));
    m_folder->setTextFormat(Qt::PlainText);
    m_folder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_folder->setMinimumWidth(m_folder->fontMetrics().averageCharWidth() * kLeastChars);
    m_folder->setMaximumWidth(m_folder->fontMetrics().averageCharWidth() * kFolderChars);
    m_folder->installEventFilter(this);
    m_change->setObjectName(QStringLiteral("pbChangeFolder"));
    m_change->setToolTip(tr("Choose the folder downloads go to"));
    m_hide->setObjectName(QStringLiteral("checkBoxHideDownloaded"));
    m_hide->setToolTip(tr("Leave out of the grid the files already in the download folder"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_folder, 1); // what the row gives beyond the buttons is the path's
    layout->addWidget(m_change);
    layout->addWidget(m_hide);

    showFolder(downloads->folder());
    connect(downloads, &DownloadControl::folderChanged, this, &DestinationView::showFolder);
    connect(m_change, &QPushButton::clicked, downloads, &DownloadControl::changeFolder);

    m_hide->setChecked(preferences().value(QLatin1String(kHideKey), false).toBool());
    marks->setHidden(m_hide->isChecked());
    connect(m_hide, &QCheckBox::toggled, marks, [marks](bool on) {
        marks->setHidden(on);
        preferences().setValue(QLatin1String(kHideKey), on);
    });
}

void DestinationView::showFolder(const QString& folder)
{
    m_shown = folder.isEmpty() ? tr("Asked at the first download") : QDir::toNativeSeparators(folder);
    m_folder->setToolTip(folder.isEmpty() ? tr("The download folder is asked once, then remembered")
                                          : tr("Downloads go to %1").arg(m_shown));
    elide();
    updateGeometry();
}

QSize DestinationView::sizeHint() const
{
    // The layout counts the label at its least (its own hint is ignored, so that its text,
    // cut to fit, never asks for more).
    QSize hint = QWidget::sizeHint();
    const int whole = std::min(m_folder->fontMetrics().horizontalAdvance(m_shown) + 2, m_folder->maximumWidth());
    hint.rwidth() += std::max(0, whole - m_folder->minimumWidth());
    return hint;
}

void DestinationView::elide()
{
    m_folder->setText(m_folder->fontMetrics().elidedText(m_shown, Qt::ElideMiddle, m_folder->width()));
}

bool DestinationView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_folder && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        elide();
    return QWidget::eventFilter(watched, event);
}
