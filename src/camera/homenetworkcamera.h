#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// A camera that has joined the user's own Wi-Fi and serves its HTTP interface there over
// HTTPS: what Bluetooth set-up reads from it, and what is remembered to reach it again. The
// password is held only in memory and in the desktop's keyring, never in a plain file.
struct HomeNetworkCamera
{
    QString serial;
    // As the camera names itself ("HERO12 Black"); model is its HERO generation.
    QString modelName;
    int model = 0;
    // Its address on the home network, as it last told it.
    QHostAddress address;
    QString user;
    QString password;
    // The camera's own root certificate (PEM): the only authority its HTTPS answers are
    // trusted by.
    QByteArray rootCertificatePem;
    // The network it joined.
    QString ssid;

    bool isComplete() const
    {
        return !serial.isEmpty() && !address.isNull() && !user.isEmpty() && !password.isEmpty()
            && !rootCertificatePem.isEmpty();
    }
};
