// A settings store in memory that records the order of its writes.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "app/app_settings.h"

namespace corvane::test {

class MemoryStore : public SettingsStore {
public:
    std::int32_t ReadInt(const char* key, std::int32_t fallback) override {
        auto it = ints.find(key);
        return it == ints.end() ? fallback : it->second;
    }
    std::u16string ReadText(const char* key, const std::u16string& fallback) override {
        auto it = texts.find(key);
        return it == texts.end() ? fallback : it->second;
    }
    void WriteInt(const char* key, std::int32_t value) override {
        if (onWrite) onWrite();
        ints[key] = value;
        order += std::string(key) + " ";
    }
    void WriteText(const char* key, const std::u16string& value) override {
        if (onWrite) onWrite();
        texts[key] = value;
        order += std::string(key) + " ";
    }

    std::map<std::string, std::int32_t> ints;
    std::map<std::string, std::u16string> texts;
    std::string order;              // the keys written, each followed by a blank
    std::function<void()> onWrite;  // called before every write
};

}  // namespace corvane::test
