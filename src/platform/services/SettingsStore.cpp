#include "platform/services/SettingsStore.h"

#include <vector>

#include <windows.h>

#include "platform/rules/RuntimeError.h"

namespace {

// Longest value read back; anything longer is not a value this program wrote.
constexpr DWORD kMaxValueBytes = 64 * 1024;

class RegistrySettingsStore final : public ISettingsStore {
public:
    std::wstring GetSetting(const std::wstring& application, const std::wstring& section,
                            const std::wstring& key, const std::wstring& defaultValue) override {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                          &handle) != ERROR_SUCCESS)
            return defaultValue;
        std::wstring result = defaultValue;
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(handle, key.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && size <= kMaxValueBytes) {
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            if (RegQueryValueExW(handle, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                 &got) == ERROR_SUCCESS) {
                buffer.back() = L'\0';
                result.assign(buffer.data());
            }
        }
        RegCloseKey(handle);
        return result;
    }

    void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
        HKEY handle = nullptr;
        LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(application, section).c_str(), 0,
                                         nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
        if (status == ERROR_SUCCESS) {
            status = RegSetValueExW(handle, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(handle);
        }
        if (status != ERROR_SUCCESS) {
            SetLastError(static_cast<DWORD>(status));
            RaiseLastWin32Error(L"Cannot save the setting");
        }
    }
};

}  // namespace

std::wstring SettingsKeyPath(const std::wstring& application, const std::wstring& section) {
    return L"Software\\VB and VBA Program Settings\\" + application + L"\\" + section;
}

template <>
ISettingsStore& RealService<ISettingsStore>() {
    static RegistrySettingsStore real;
    return real;
}
