#pragma once
// Scripted and recording services for the tests, and a frame fixture that installs them.
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/basMain.h"
#include "capture/CaptureCommands.h"
#include "app/frmMain.h"
#include "platform/Form.h"
#include "platform/MessageBoxService.h"
#include "platform/ScreenService.h"
#include "platform/SettingsStore.h"

struct ShownMessage {
    std::wstring text;
    UINT style;
    std::wstring title;
};

class RecordingMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT style, const std::wstring& title) override {
        shown.push_back({text, style, title});
        return IDOK;
    }
    std::vector<ShownMessage> shown;
};

class MemorySettingsStore final : public ISettingsStore {
public:
    std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) override {
        reads.push_back(key);
        auto it = values.find({application, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
        if (failWrites) RaiseError(75, L"Path/File access error");
        writes.push_back(key);
        values[{application, section, key}] = value;
    }
    std::wstring Value(const std::wstring& key) const {
        auto it = values.find({L"Pixelnab", L"Main", key});
        return it == values.end() ? L"<absent>" : it->second;
    }
    void Set(const std::wstring& key, const std::wstring& value) { values[{L"Pixelnab", L"Main", key}] = value; }
    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values;
    std::vector<std::wstring> reads;
    std::vector<std::wstring> writes;
    bool failWrites = false;
};

// A display of a given size at 15 twips per pixel, whatever Xvfb says.
class FixedScreen final : public IScreenService {
public:
    FixedScreen(int width = 1024, int height = 768) : width_(width), height_(height) {}
    int WidthPixels() override { return width_; }
    int HeightPixels() override { return height_; }
    float TwipsPerPixelX() override { return 15.0f; }
    float TwipsPerPixelY() override { return 15.0f; }

private:
    int width_;
    int height_;
};

// Installs recording services and an empty settings store for the duration of a test;
// the frame made by MakeFrame is unloaded at the end.
class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxService(&messages);
        SetSettingsStore(&settings);
    }
    void TearDown() override {
        CloseEverything();
        SetMessageBoxService(nullptr);
        SetSettingsStore(nullptr);
        gblnHideCaptureWin = false;
        gintCaptureCount = 0;
    }
    std::shared_ptr<frmMain> MakeFrame() {
        auto created = NewForm<frmMain>();
        created->Load();
        created->Show();
        DoEvents();
        frame = created;
        return created;
    }
    void CloseEverything() {
        if (frame && frame->IsLoaded()) frame->Unload();
        for (int i = Forms::Count() - 1; i >= 0; --i) Forms::Item(i)->Unload();
        frame.reset();
        DoEvents();
    }
    RecordingMessageBox messages;
    MemorySettingsStore settings;
    std::shared_ptr<frmMain> frame;
};
