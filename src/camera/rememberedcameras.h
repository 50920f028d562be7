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

    // As remembered (the one set up last, last), password empty; entries without what
    // reaching a camera needs are left out. The file says where a password from the keyring is
    // sent: one that is not the user's own plain file (a symbolic link, another user's), or
    // that others may change, is not read at all, and problem (when given) says so; it stays
    // empty otherwise.
    QList<HomeNetworkCamera> cameras(QString* problem = nullptr) const;
    // Adds the camera, or updates the one of its serial; a new file is the user's alone
    // (0600). False when the file could not be written, or is refused (see cameras()): it is
    // never written over then.
    bool remember(const HomeNetworkCamera& camera) const;
    QString path() const { return m_path; }

private:
    QString m_path;
};
