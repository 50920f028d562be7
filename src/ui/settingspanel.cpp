#include "settingspanel.h"

#include "currentchoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDebug>
#include <QSignalBlocker>

#include <memory>

namespace {

QStringList commandsOf(const QComboBox* box)
{
    QStringList commands;
    for (int i = 0; i < box->count(); ++i)
        commands << box->itemData(i).toString();
    return commands;
}

} // namespace

SettingsPanel::SettingsPanel(const Selectors& selectors, QObject* parent)
    : QObject(parent)
    , m_selectors(selectors)
{
    // Only what the user picks is sent, the entry shown too (with All cameras, the shown
    // camera's value is for the others); what the status selects never is.
    connect(selectors.mode, &QComboBox::activated, this, &SettingsPanel::modeActivated);
    // Showing a type's values sends nothing, however the type came to be shown.
    connect(selectors.settingType, &QComboBox::currentIndexChanged, this, &SettingsPanel::typeIndexChanged);
    connect(selectors.settingValue, &QComboBox::activated, this, &SettingsPanel::valueActivated);
    for (QComboBox* box : {selectors.bitRate, selectors.windowSize}) {
        connect(box, &QComboBox::activated, this, [this, box](int index) {
            if (index < 0)
                return;
            const QString command = box->itemData(index).toString();
            qDebug() << command;
            chosen(box, index);
            emit streamOptionChosen(command);
        });
    }
}

void SettingsPanel::show(const CameraProfile* profile)
{
    QComboBox* const boxes[] = {m_selectors.mode, m_selectors.bitRate, m_selectors.windowSize,
                                m_selectors.settingType, m_selectors.settingValue};
    // Filled without a word: only what the user chooses is told.
    QList<std::shared_ptr<QSignalBlocker>> quiet;
    for (QComboBox* box : boxes) {
        quiet << std::make_shared<QSignalBlocker>(box);
        box->clear();
    }
    m_settings.clear();
    m_held.clear();
    if (profile) {
        const auto fill = [](QComboBox* box, const QList<CameraProfile::Entry>& entries) {
            for (const CameraProfile::Entry& entry : entries)
                box->addItem(entry.label, entry.command);
        };
        fill(m_selectors.mode, profile->modes);
        fill(m_selectors.bitRate, profile->bitRates);
        fill(m_selectors.windowSize, profile->windowSizes);
        m_selectors.settingType->addItems(profile->settingTypes);
        m_settings = profile->settings;
    }
    // Nothing stands for the camera's value until its status tells it.
    for (QComboBox* box : {m_selectors.mode, m_selectors.bitRate, m_selectors.windowSize}) {
        box->setCurrentIndex(-1);
        follow(box);
    }
    m_selectors.settingType->setCurrentIndex(m_selectors.settingType->count() > 0 ? 0 : -1);
    fillValues(m_selectors.settingType->currentIndex());
}

void SettingsPanel::showStatus(const CameraStatus& status)
{
    m_status = status;
    for (QComboBox* box : {m_selectors.mode, m_selectors.bitRate, m_selectors.windowSize, m_selectors.settingValue})
        follow(box);
}

void SettingsPanel::refused(const QString& command)
{
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it->command == command) {
            QComboBox* box = it.key();
            it = m_held.erase(it);
            follow(box);
        } else {
            ++it;
        }
    }
}

void SettingsPanel::follow(QComboBox* box)
{
    // The list open: the user is choosing, and the entry under the mouse must stay put.
    if (box->view()->isVisible())
        return;
    const auto held = m_held.constFind(box);
    if (held != m_held.constEnd()) {
        const auto shown = CurrentChoice::inForce(held->command, m_status);
        if (!held->until.hasExpired() && !(shown && *shown))
            return;
        m_held.erase(held);
    }
    const auto index = CurrentChoice::indexIn(commandsOf(box), m_status);
    if (!index || *index == box->currentIndex())
        return;
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(*index);
}

void SettingsPanel::fillValues(int index)
{
    const QSignalBlocker quiet(m_selectors.settingValue);
    m_selectors.settingValue->clear();
    m_held.remove(m_selectors.settingValue);
    for (const CameraProfile::Entry& option : m_settings.value(m_selectors.settingType->itemText(index)))
        m_selectors.settingValue->addItem(option.label, option.command);
    m_selectors.settingValue->setCurrentIndex(-1);
    follow(m_selectors.settingValue);
}

void SettingsPanel::chosen(QComboBox* box, int index)
{
    m_held.insert(box, {box->itemData(index).toString(), QDeadlineTimer(kHoldMs)});
}

void SettingsPanel::modeActivated(int index)
{
    qDebug() << "clicked CaptureModelChanged";
    // Only the first four capture modes select anything on the camera.
    if (index < 0 || index > 3)
        return;
    chosen(m_selectors.mode, index);
    emit modeChosen(m_selectors.mode->itemText(index), m_selectors.mode->itemData(index).toString());
}

void SettingsPanel::typeIndexChanged(int index)
{
    // Only shown: looking at a setting's values changes nothing on the camera.
    fillValues(index);
}

void SettingsPanel::valueActivated(int index)
{
    if (index < 0)
        return;
    chosen(m_selectors.settingValue, index);
    emit settingChosen(m_selectors.settingType->currentText(), m_selectors.settingValue->itemText(index),
                       m_selectors.settingValue->itemData(index).toString());
}
