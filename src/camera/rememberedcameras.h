#pragma once

#include "homenetworkcamera.h"

#include <QList>
#include <QString>

// The cameras set up on the home network, in the user's configuration folder
// ("home-cameras.json"): serial, name, model, last address, user, network and the camera's
// root certificate. Never the password: that is the keyring's (PasswordStore).
class RememberedCameras
{
public:
    // path empty: the user's configuration folder.
    explicit RememberedCameras(QString path = QString());

    // As remembered, password empty; entries without what reaching a camera needs are left out.
    QList<HomeNetworkCamera> cameras() const;
    // Adds the camera, or updates the one of its serial. False when the file could not be
    // written.
    bool remember(const HomeNetworkCamera& camera) const;
    QString path() const { return m_path; }

private:
    QString m_path;
};
