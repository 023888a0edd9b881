// The per-user settings store: section "setup" of the settings of
// organisation "Quillmarsh" and the executable's name (an INI file under
// ~/.config/Quillmarsh on Linux, the registry on Windows).
#pragma once

#include <memory>

#include "app/app_settings.h"

class QSettings;

namespace corvane {

class QtSettingsStore : public SettingsStore {
public:
    // `application` empty: the executable's base name. A settings file that
    // is no regular file (a FIFO, say) is neither read nor written.
    explicit QtSettingsStore(const std::string& application = {});
    ~QtSettingsStore() override;

    std::int32_t ReadInt(const char* key, std::int32_t fallback) override;
    std::u16string ReadText(const char* key, const std::u16string& fallback) override;
    void WriteInt(const char* key, std::int32_t value) override;
    void WriteText(const char* key, const std::u16string& value) override;

    // Writes what changed to disk; the file is readable by its owner only,
    // since it holds the manual caster's password.
    void Sync();
    std::string FileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace corvane
