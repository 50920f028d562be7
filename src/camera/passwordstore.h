#pragma once

#include <QHash>
#include <QObject>
#include <QString>

// The passwords of the cameras on the home network, by serial, in the desktop's keyring
// (Secret Service, KWallet) through QtKeychain. Where no keyring answers, a password is kept
// in memory until the program ends, and never written anywhere else.
class PasswordStore : public QObject
{
    Q_OBJECT

public:
    explicit PasswordStore(QObject* parent = nullptr);

    // stored() follows.
    void store(const QString& serial, const QString& password);
    // loaded() follows: from the keyring, else from this session's memory.
    void load(const QString& serial);

    // For this session only, whatever the keyring.
    static void keepForSession(const QString& serial, const QString& password);

signals:
    // inKeyring false: kept for this session only.
    void stored(const QString& serial, bool inKeyring);
    // password empty: none known.
    void loaded(const QString& serial, const QString& password);

private:
    static QHash<QString, QString>& session();
};
