#include "shell/keyring_secret_store.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace torvane {
namespace {

// Runs a keychain job to its end; the job's error afterwards.
QKeychain::Error Run(QKeychain::Job& job) {
    job.setAutoDelete(false);
    // Never a plain file in place of the keyring.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.error();
}

}  // namespace

KeyringSecretStore::KeyringSecretStore(QString service) : service_(std::move(service)) {}

bool KeyringSecretStore::Available() {
    if (!available_) {
        // A lookup of an entry that is not there tells a keyring apart from none at all.
        QKeychain::ReadPasswordJob probe(service_);
        probe.setKey(QStringLiteral("keyring-check"));
        const QKeychain::Error error = Run(probe);
        available_ = error == QKeychain::NoError || error == QKeychain::EntryNotFound;
    }
    return *available_;
}

std::optional<std::string> KeyringSecretStore::Read(const std::string& account) {
    QKeychain::ReadPasswordJob job(service_);
    job.setKey(QString::fromStdString(account));
    if (Run(job) != QKeychain::NoError) return std::nullopt;
    return job.textData().toStdString();
}

bool KeyringSecretStore::Write(const std::string& account, const std::string& secret) {
    QKeychain::WritePasswordJob job(service_);
    job.setKey(QString::fromStdString(account));
    job.setTextData(QString::fromStdString(secret));
    return Run(job) == QKeychain::NoError;
}

bool KeyringSecretStore::Erase(const std::string& account) {
    QKeychain::DeletePasswordJob job(service_);
    job.setKey(QString::fromStdString(account));
    const QKeychain::Error error = Run(job);
    return error == QKeychain::NoError || error == QKeychain::EntryNotFound;
}

}  // namespace torvane
