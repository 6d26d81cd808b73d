#pragma once
#include <string>

#include "platform/rules/Service.h"

// Per-user settings read and written as text by application, section and key.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The stored text, or defaultValue when the key is absent.
    virtual std::wstring GetSetting(const std::wstring& application, const std::wstring& section,
                                    const std::wstring& key, const std::wstring& defaultValue) = 0;
    // Raises a run-time error when the value cannot be written.
    virtual void SaveSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, const std::wstring& value) = 0;
};

template <>
ISettingsStore& RealService<ISettingsStore>();
inline ISettingsStore& SettingsStore() { return CurrentService<ISettingsStore>(); }
// nullptr restores the real one; tests may prefer ScopedService<ISettingsStore>.
inline void SetSettingsStore(ISettingsStore* store) { InstallService(store); }

// The registry key that holds a section: the classic per-user application settings
// location, so that settings of earlier releases are found.
std::wstring SettingsKeyPath(const std::wstring& application, const std::wstring& section);
