#include "camerapicker.h"

#include "cameraroster.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QToolBar>

CameraPicker::CameraPicker(CameraRoster* roster, QToolBar* toolBar, QWidget* window)
    : QObject(window)
    , m_roster(roster)
{
    m_list = new QComboBox(window);
    m_list->setObjectName(QStringLiteral("comboCameras"));
    m_list->setToolTip(tr("The camera this window shows and controls."));
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    toolBar->insertWidget(toolBar->actions().value(0), m_list);
    connect(m_list, &QComboBox::activated, this,
            [this](int index) { emit chosen(m_list->itemData(index).toULongLong()); });
    m_all = new QCheckBox(tr("All cameras"), window);
    m_all->setObjectName(QStringLiteral("checkBoxAllCameras"));
    m_all->setToolTip(tr("Start, Stop, the capture mode and the settings go to every camera in the "
                         "list that answers. The grid, the preview and downloads stay with the "
                         "camera shown."));
    toolBar->insertWidget(toolBar->actions().value(1), m_all);

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
