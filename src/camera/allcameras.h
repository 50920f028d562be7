#pragma once

#include "cameraprofile.h"
#include "camerarequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QList>
#include <QStringList>

class Camera;

// Sends one choice to several cameras at once: Start and Stop in each camera's own request
// form, a capture mode or a setting as each camera's profile writes it (found by its label,
// since the same label is a different request on another model). Every request is issued
// before any answer is awaited, each on its camera's own link, so the cameras hear it within
// the same moment rather than one after another.
class AllCameras
{
    Q_DECLARE_TR_FUNCTIONS(AllCameras)

public:
    // What happened to one choice: the cameras it went to, and the ones left alone with why
    // ("HERO9 Black · …123: no setting Video Bit Depth").
    struct Outcome {
        QStringList sentTo;
        QStringList leftOut;
    };

    explicit AllCameras(const QDir& profileDir);

    // Only cameras that answer are sent to; the others are left out as offline.
    Outcome sendAction(const QList<Camera*>& cameras, CameraRequests::Action action, bool on = true);
    Outcome sendMode(const QList<Camera*>& cameras, const QString& label);
    Outcome sendSetting(const QList<Camera*>& cameras, const QString& type, const QString& option);

    // "Start sent to A, B. Left alone: C: not answering.", for the status bar; empty when
    // there was no camera.
    static QString describe(const QString& what, const Outcome& outcome);

private:
    // The profile of a model, read once; nullptr when the model has none.
    const CameraProfile* profileFor(int model);
    template<typename Lookup>
    Outcome send(const QList<Camera*>& cameras, Lookup commandFor);

    QDir m_profileDir;
    QHash<int, CameraProfile> m_profiles;
    QList<int> m_missingProfiles;
};
