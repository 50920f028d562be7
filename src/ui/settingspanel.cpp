#include "settingspanel.h"

#include "cameraprofile.h"

#include <QComboBox>
#include <QDebug>
#include <QSignalBlocker>

#include <memory>

SettingsPanel::SettingsPanel(const Selectors& selectors, QObject* parent)
    : QObject(parent)
    , m_selectors(selectors)
{
    connect(selectors.mode, &QComboBox::currentIndexChanged, this, &SettingsPanel::modeIndexChanged);
    connect(selectors.settingType, &QComboBox::currentIndexChanged, this, &SettingsPanel::typeIndexChanged);
    connect(selectors.settingValue, &QComboBox::currentIndexChanged, this, &SettingsPanel::valueIndexChanged);
    for (QComboBox* box : {selectors.bitRate, selectors.windowSize}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, box](int index) {
            const QString command = box->itemData(index).toString();
            qDebug() << command;
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
    // The defaults shown, not sent.
    m_selectors.mode->setCurrentIndex(0);
    m_selectors.bitRate->setCurrentIndex(0);
    // The second setting type first, as the panel has always opened.
    m_selectors.settingType->setCurrentIndex(1);
    fillValues(m_selectors.settingType->currentIndex());
}

void SettingsPanel::fillValues(int index)
{
    const QSignalBlocker quiet(m_selectors.settingValue);
    m_selectors.settingValue->clear();
    const auto values = m_settings.constFind(m_selectors.settingType->itemText(index));
    if (values == m_settings.constEnd())
        return;
    for (auto it = values->begin(); it != values->end(); ++it)
        m_selectors.settingValue->addItem(it.key(), it.value());
}

void SettingsPanel::modeIndexChanged(int index)
{
    qDebug() << "clicked CaptureModelChanged";
    // Only the first four capture modes select anything on the camera.
    if (index < 0 || index > 3)
        return;
    emit modeChosen(m_selectors.mode->itemText(index), m_selectors.mode->itemData(index).toString());
}

void SettingsPanel::typeIndexChanged(int index)
{
    fillValues(index);
    // The user chose the type: its first value is sent at once.
    if (m_selectors.settingValue->count() > 0)
        valueIndexChanged(0);
}

void SettingsPanel::valueIndexChanged(int index)
{
    if (index < 0)
        return;
    emit settingChosen(m_selectors.settingType->currentText(), m_selectors.settingValue->itemText(index),
                       m_selectors.settingValue->itemData(index).toString());
}
