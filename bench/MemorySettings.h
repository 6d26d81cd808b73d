#pragma once
// The settings store of the benchmarks: they neither read nor write the user's settings.
#include <map>
#include <string>
#include <tuple>

#include "platform/services/SettingsStore.h"

class MemorySettings final : public ISettingsStore {
public:
    std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) override {
        auto it = values.find({application, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
        values[{application, section, key}] = value;
    }
    // One of the program's own values, section "Main".
    void Set(const std::wstring& key, const std::wstring& value) { values[{L"Pixelnab", L"Main", key}] = value; }

    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values;
};
