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

namespace {
const char* const kHideKey = "downloads/hideDownloaded";
// Room for a path that says where it is; the tool tip has the rest.
constexpr int kFolderChars = 36;
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
    m_change->setObjectName(QStringLiteral("pbChangeFolder"));
    m_change->setToolTip(tr("Choose the folder downloads go to"));
    m_hide->setObjectName(QStringLiteral("checkBoxHideDownloaded"));
    m_hide->setToolTip(tr("Leave out of the grid the files already in the download folder"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_folder);
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
    m_path = folder;
    const QString shown = folder.isEmpty() ? tr("Asked at the first download") : QDir::toNativeSeparators(folder);
    m_folder->setToolTip(folder.isEmpty() ? tr("The download folder is asked once, then remembered")
                                          : tr("Downloads go to %1").arg(shown));
    const QFontMetrics metrics = m_folder->fontMetrics();
    const int room = metrics.averageCharWidth() * kFolderChars;
    m_folder->setText(metrics.elidedText(shown, Qt::ElideMiddle, room));
}

void DestinationView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The style sheet or a font change after the text was cut.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        showFolder(m_path);
}
