#include "camerapicker.h"

#include "cameraroster.h"
#include "elidingcombobox.h"

#include <QAction>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

CameraPicker::CameraPicker(CameraRoster* roster, QToolBar* toolBar, QWidget* window)
    : QObject(window)
    , m_roster(roster)
{
    // Wide enough for "USB · HERO12 Black · …583 — offline"; longer entries lose their middle.
    m_list = new ElidingComboBox(34, window);
    m_list->setObjectName(QStringLiteral("comboCameras"));
    m_list->setToolTip(tr("The camera this window shows and controls."));
    toolBar->insertWidget(toolBar->actions().value(0), m_list);
    connect(m_list, &QComboBox::activated, this,
            [this](int index) { emit chosen(m_list->itemData(index).toULongLong()); });
    auto* info = new QAction(window->style()->standardIcon(QStyle::SP_MessageBoxInformation),
                             tr("Camera information…"), this);
    info->setObjectName(QStringLiteral("actionCameraInfo"));
    info->setToolTip(tr("Which camera this is: model, firmware, serial, how it is reached, its clock."));
    connect(info, &QAction::triggered, this, [this] { emit infoAsked(m_roster->currentId()); });
    auto* infoButton = new QToolButton(window);
    infoButton->setObjectName(QStringLiteral("pbCameraInfo"));
    infoButton->setDefaultAction(info);
    infoButton->setAutoRaise(true);
    toolBar->insertWidget(toolBar->actions().value(1), infoButton);
    // Closed, the list shows the current camera; open, each row is a camera of its own.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        offerInfo(m_roster->currentId(), m_list->mapToGlobal(pos));
    });
    QAbstractItemView* rows = m_list->view();
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rows, &QWidget::customContextMenuRequested, this, [this, rows](const QPoint& pos) {
        const QModelIndex row = rows->indexAt(pos);
        if (row.isValid())
            offerInfo(m_list->itemData(row.row()).toULongLong(), rows->viewport()->mapToGlobal(pos));
    });
    m_all = new QCheckBox(tr("All cameras"), window);
    m_all->setObjectName(QStringLiteral("checkBoxAllCameras"));
    m_all->setToolTip(tr("Start, Stop, the capture mode and the settings go to every camera in the "
                         "list that answers. The grid, the preview and downloads stay with the "
                         "camera shown."));
    toolBar->insertWidget(toolBar->actions().value(2), m_all);

    connect(roster, &CameraRoster::listChanged, this, &CameraPicker::show);
    connect(roster, &CameraRoster::cameraChanged, this, &CameraPicker::show);
    connect(roster, &CameraRoster::currentChanged, this, &CameraPicker::show);
    // A camera other than the one shown is heard of only while the user sends to all.
    connect(roster, &CameraRoster::answering, this, [this](Camera* camera, bool answers) {
        if (!answers && camera != m_roster->current() && m_all->isChecked())
            emit message(tr("%1 stopped answering; the other cameras go on.").arg(camera->displayName()));
    });
    connect(roster, &CameraRoster::commandFailed, this,
            [this](Camera* camera, const QUrl& command, const QString& why) {
                if (camera != m_roster->current())
                    emit message(tr("%1 did not carry out %2 (%3).")
                                     .arg(camera->displayName(),
                                          command.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority), why));
            });
}

void CameraPicker::offerInfo(Camera::Id id, const QPoint& globalPos)
{
    if (!m_roster->camera(id))
        return;
    // Not exec(): the list's own popup may be open beneath it; popup() leaves both to the one
    // event loop.
    auto* menu = new QMenu(m_list);
    menu->setObjectName(QStringLiteral("cameraListMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* info = menu->addAction(tr("Camera information…"));
    connect(info, &QAction::triggered, this, [this, id] {
        m_list->hidePopup();
        emit infoAsked(id);
    });
    menu->popup(globalPos);
}

bool CameraPicker::sendsToAll() const
{
    return m_all->isChecked() && m_all->isEnabled();
}

void CameraPicker::show()
{
    const QList<Camera*>& listed = m_roster->cameras();
    const auto entryText = [](const Camera* camera) {
        return QStringLiteral("%1 — %2").arg(camera->displayName(), camera->stateText());
    };
    bool same = m_list->count() == listed.size();
    for (int i = 0; same && i < listed.size(); ++i)
        same = m_list->itemData(i).toULongLong() == listed.at(i)->id();
    const QSignalBlocker blocker(m_list);
    // Rebuilt only when cameras come or go: a status every few seconds changes texts in place,
    // and an open list stays open.
    if (!same) {
        m_list->clear();
        for (const Camera* camera : listed)
            m_list->addItem(entryText(camera), QVariant::fromValue(camera->id()));
    } else {
        for (int i = 0; i < listed.size(); ++i) {
            if (m_list->itemText(i) != entryText(listed.at(i)))
                m_list->setItemText(i, entryText(listed.at(i)));
        }
    }
    m_list->setCurrentIndex(m_list->findData(QVariant::fromValue(m_roster->currentId())));
    QStringList lines{tr("The camera this window shows and controls.")};
    for (const Camera* camera : listed)
        lines << entryText(camera);
    m_list->setToolTip(lines.join(QLatin1Char('\n')));
    m_all->setEnabled(listed.size() > 1);
}
