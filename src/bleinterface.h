#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Bluetooth LE link to the camera (placeholder until the link itself lands).
class BLEInterface : public QObject
{
    Q_OBJECT
public:
    explicit BLEInterface(QObject* parent = nullptr);

    QString m_apSsid;
    QString m_apPwd;

signals:
    void statusInfoChanged(QString info, bool isGood);
    void dataReceived(QByteArray data);
    void connectFinish();
    void pairError();
};
