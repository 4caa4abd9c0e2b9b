#include "platform/key_store.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QString>

#include "platform/user_config.h"

namespace {

const QString kService = QStringLiteral("zarkel");

// Runs a keychain job to its end.
void RunJob(QKeychain::Job& job) {
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
}

}  // namespace

std::string KeyStore::Read(const std::string& name) const {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(QString::fromStdString(name));
    RunJob(job);
    if (job.error() == QKeychain::NoError) return job.textData().toStdString();
    const ConfigValues file = ReadUserConfig(m_configPath);
    const auto found = file.find(name);
    return found == file.end() ? std::string() : found->second;
}

KeyStore::Place KeyStore::Write(const std::string& name, const std::string& value) const {
    bool inKeyring = false;
    if (value.empty()) {
        QKeychain::DeletePasswordJob job(kService);
        job.setKey(QString::fromStdString(name));
        RunJob(job);
        inKeyring = job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound;
    } else {
        QKeychain::WritePasswordJob job(kService);
        job.setKey(QString::fromStdString(name));
        job.setTextData(QString::fromStdString(value));
        RunJob(job);
        inKeyring = job.error() == QKeychain::NoError;
    }
    ConfigValues file = ReadUserConfig(m_configPath);
    const bool inFile = file.contains(name);
    if (inKeyring && !inFile) return Place::kKeyring;
    if (inKeyring || value.empty()) {
        file.erase(name);
    } else {
        file[name] = value;
    }
    if (!WriteUserConfig(m_configPath, file)) return Place::kNowhere;
    return inKeyring ? Place::kKeyring : Place::kFile;
}
