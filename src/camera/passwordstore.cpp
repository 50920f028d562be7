#include "passwordstore.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QDebug>

namespace {

const char* const kService = "velkamo";

QString keyFor(const QString& serial)
{
    return QStringLiteral("camera-") + serial;
}

} // namespace

PasswordStore::PasswordStore(QObject* parent)
    : QObject(parent)
{
}

QHash<QString, QString>& PasswordStore::session()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

void PasswordStore::keepForSession(const QString& serial, const QString& password)
{
    session().insert(serial, password);
}

void PasswordStore::store(const QString& serial, const QString& password)
{
    // The application's, not this store's: the keyring's answer comes back into the job,
    // which must outlive this store (it deletes itself once finished, or goes with the
    // application when the keyring never answers).
    auto* job = new QKeychain::WritePasswordJob(QLatin1String(kService), QCoreApplication::instance());
    // Never a plain file in place of a keyring.
    job->setInsecureFallback(false);
    job->setKey(keyFor(serial));
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [this, serial, password](QKeychain::Job* done) {
        const bool kept = done->error() == QKeychain::NoError;
        if (!kept) {
            qDebug() << "keyring did not take the password of" << serial << ":" << done->errorString();
            keepForSession(serial, password);
        } else {
            qDebug() << "password of" << serial << "kept in the keyring";
        }
        emit stored(serial, kept);
    });
    job->start();
}

void PasswordStore::load(const QString& serial)
{
    auto* job = new QKeychain::ReadPasswordJob(QLatin1String(kService), QCoreApplication::instance());
    job->setInsecureFallback(false);
    job->setKey(keyFor(serial));
    connect(job, &QKeychain::Job::finished, this, [this, serial](QKeychain::Job* done) {
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(done);
        QString password = read->error() == QKeychain::NoError ? read->textData() : QString();
        if (password.isEmpty()) {
            if (read->error() != QKeychain::NoError && read->error() != QKeychain::EntryNotFound)
                qDebug() << "keyring not read for" << serial << ":" << read->errorString();
            password = session().value(serial);
        }
        emit loaded(serial, password);
    });
    job->start();
}
