#include "allcameras.h"

#include "camera.h"
#include "cameralink.h"

#include <QDebug>

AllCameras::AllCameras(const QDir& profileDir)
    : m_profileDir(profileDir)
{
}

const CameraProfile* AllCameras::profileFor(int model)
{
    if (model <= 0 || m_missingProfiles.contains(model))
        return nullptr;
    auto it = m_profiles.find(model);
    if (it == m_profiles.end()) {
        CameraProfile profile;
        const QString file = CameraProfile::fileNameFor(QStringLiteral("hero%1").arg(model));
        if (!CameraProfile::load(m_profileDir.filePath(file), &profile)) {
            m_missingProfiles.append(model);
            return nullptr;
        }
        it = m_profiles.insert(model, profile);
    }
    return &*it;
}

template<typename Lookup>
AllCameras::Outcome AllCameras::send(const QList<Camera*>& cameras, Lookup commandFor)
{
    Outcome outcome;
    // Decided for every camera first, then sent in one go: no lookup between two requests.
    QList<QPair<Camera*, QString>> requests;
    for (Camera* camera : cameras) {
        if (!camera->isOnline()) {
            outcome.leftOut << tr("%1: not answering").arg(camera->displayName());
            continue;
        }
        QString why;
        const QString command = commandFor(camera, &why);
        if (command.isEmpty()) {
            outcome.leftOut << QStringLiteral("%1: %2").arg(camera->displayName(), why);
            continue;
        }
        requests.append({camera, command});
    }
    for (const auto& [camera, command] : std::as_const(requests)) {
        if (camera->link()->send(command))
            outcome.sentTo << camera->displayName();
        else
            outcome.leftOut << tr("%1: not answering").arg(camera->displayName());
    }
    return outcome;
}

AllCameras::Outcome AllCameras::sendAction(const QList<Camera*>& cameras, CameraRequests::Action action, bool on)
{
    return send(cameras, [action, on](Camera* camera, QString* why) {
        const QString url = CameraRequests::url(camera->address(), camera->model(), action, on).toString();
        if (url.isEmpty())
            *why = CameraRequests::missingReason(camera->model(), action);
        return url;
    });
}

AllCameras::Outcome AllCameras::sendMode(const QList<Camera*>& cameras, const QString& label)
{
    return send(cameras, [this, &label](Camera* camera, QString* why) {
        const CameraProfile* profile = profileFor(camera->model());
        if (profile) {
            for (const CameraProfile::Entry& mode : profile->modes) {
                if (mode.label == label && !mode.command.isEmpty())
                    return mode.command;
            }
        }
        *why = profile ? tr("no capture mode %1").arg(label) : tr("no profile for its model");
        return QString();
    });
}

AllCameras::Outcome AllCameras::sendSetting(const QList<Camera*>& cameras, const QString& type,
                                            const QString& option)
{
    return send(cameras, [this, &type, &option](Camera* camera, QString* why) {
        const CameraProfile* profile = profileFor(camera->model());
        const QString command = profile ? profile->settingCommand(type, option) : QString();
        if (command.isEmpty()) {
            *why = !profile ? tr("no profile for its model")
                : profile->settings.contains(type) ? tr("no %1 %2").arg(type, option)
                                                   : tr("no setting %1").arg(type);
        }
        return command;
    });
}

QString AllCameras::describe(const QString& what, const Outcome& outcome)
{
    if (outcome.sentTo.isEmpty() && outcome.leftOut.isEmpty())
        return QString();
    QString text = outcome.sentTo.isEmpty()
        ? tr("%1 sent to no camera.").arg(what)
        : tr("%1 sent to %2.").arg(what, outcome.sentTo.join(QStringLiteral(", ")));
    if (!outcome.leftOut.isEmpty())
        text += QLatin1Char(' ') + tr("Left alone: %1.").arg(outcome.leftOut.join(QStringLiteral("; ")));
    return text;
}
