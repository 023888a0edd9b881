#include "app/qt_settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace corvane {
namespace {

QString ApplicationName(const std::string& application) {
    if (!application.empty()) return QString::fromStdString(application);
    const QString fromApp = QCoreApplication::applicationName();
    return fromApp.isEmpty() ? QStringLiteral("corvane") : fromApp;
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// True when the settings file is there but is no regular file (a FIFO, a
// device): opening it could block for ever, so it is treated as missing and
// unwritable. Only where the settings live in a file.
bool SpecialSettingsFile(const QString& application) {
#ifdef _WIN32
    (void)application;
    return false;
#else
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Quillmarsh/") + application + QStringLiteral(".conf");
    std::error_code ec;
    const auto status = std::filesystem::status(path.toStdString(), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
#endif
}

}  // namespace

QtSettingsStore::QtSettingsStore(const std::string& application) {
    const QString name = ApplicationName(application);
    if (SpecialSettingsFile(name)) return;
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Quillmarsh"), name);
    settings_->beginGroup(QStringLiteral("setup"));
}

QtSettingsStore::~QtSettingsStore() {
    if (!settings_) return;
    settings_->endGroup();
    Sync();
}

std::int32_t QtSettingsStore::ReadInt(const char* key, std::int32_t fallback) {
    if (!settings_) return fallback;
    bool ok = false;
    const int v = settings_->value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? v : fallback;
}

std::u16string QtSettingsStore::ReadText(const char* key, const std::u16string& fallback) {
    if (!settings_) return fallback;
    const QVariant v = settings_->value(QString::fromLatin1(key));
    if (!v.isValid()) return fallback;
    return v.toString().toStdU16String();
}

void QtSettingsStore::WriteInt(const char* key, std::int32_t value) {
    if (!settings_) return;
    settings_->setValue(QString::fromLatin1(key), value);
}

void QtSettingsStore::WriteText(const char* key, const std::u16string& value) {
    if (!settings_) return;
    settings_->setValue(QString::fromLatin1(key), QString::fromStdU16String(value));
}

void QtSettingsStore::Sync() {
    if (!settings_) return;
    const QString file = settings_->fileName();
    const bool isFile = settings_->format() != QSettings::NativeFormat || !file.startsWith("\\");
    if (isFile && !QFileInfo::exists(file)) {
        // Create it for the owner alone before anything is written into it.
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) f.setPermissions(kOwnerOnly);
    }
    settings_->sync();
    if (isFile && QFileInfo::exists(file)) QFile::setPermissions(file, kOwnerOnly);
}

std::string QtSettingsStore::FileName() const {
    return settings_ ? settings_->fileName().toStdString() : std::string();
}

}  // namespace corvane
