#include "app/qt_settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace corvane {
namespace {

QString ApplicationName(const std::string& application) {
    if (!application.empty()) return QString::fromStdString(application);
    const QString fromApp = QCoreApplication::applicationName();
    return fromApp.isEmpty() ? QStringLiteral("corvane") : fromApp;
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

QtSettingsStore::QtSettingsStore(const std::string& application)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Quillmarsh"),
                                            ApplicationName(application))) {
    settings_->beginGroup(QStringLiteral("setup"));
}

QtSettingsStore::~QtSettingsStore() {
    settings_->endGroup();
    Sync();
}

std::int32_t QtSettingsStore::ReadInt(const char* key, std::int32_t fallback) {
    bool ok = false;
    const int v = settings_->value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? v : fallback;
}

std::u16string QtSettingsStore::ReadText(const char* key, const std::u16string& fallback) {
    const QVariant v = settings_->value(QString::fromLatin1(key));
    if (!v.isValid()) return fallback;
    return v.toString().toStdU16String();
}

void QtSettingsStore::WriteInt(const char* key, std::int32_t value) {
    settings_->setValue(QString::fromLatin1(key), value);
}

void QtSettingsStore::WriteText(const char* key, const std::u16string& value) {
    settings_->setValue(QString::fromLatin1(key), QString::fromStdU16String(value));
}

void QtSettingsStore::Sync() {
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

std::string QtSettingsStore::FileName() const { return settings_->fileName().toStdString(); }

}  // namespace corvane
