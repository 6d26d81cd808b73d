#include "app/FrameSettings.h"

#include "platform/services/SettingsStore.h"
#include "platform/windows/AppInfo.h"

namespace {
const std::wstring kSection = L"Main";
}

std::wstring ReadFrameSetting(const std::wstring& key, const std::wstring& defaultValue) {
    return SettingsStore().GetSetting(App::Title(), kSection, key, defaultValue);
}

void WriteFrameSetting(const std::wstring& key, const std::wstring& value) {
    SettingsStore().SaveSetting(App::Title(), kSection, key, value);
}
