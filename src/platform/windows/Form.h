#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/WindowBase.h"

// A form: a window with its controls and handlers, loaded and unloaded as a unit.
// While its window exists the list of loaded forms holds a reference to it; the
// object itself lives until its last owner lets go (its destructor is its termination).
class Form : public WindowBase, public std::enable_shared_from_this<Form> {
public:
    bool IsLoaded() const noexcept { return hwnd_ != nullptr; }
    // Creates the window if it does not exist yet and runs the load handler.
    void Load();
    // Destroys the window; the list of loaded forms lets go of the object.
    virtual void Unload();

    void Show();
    // Shows the form modally: the owner is disabled and a nested message loop runs
    // until the form is hidden or unloaded, whichever comes first.
    void ShowModal(HWND owner);
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);

    std::wstring Caption() const;
    // Setting the caption loads the form, as any property does.
    void SetCaption(const std::wstring& caption);

    // Outer geometry in twips: screen coordinates for a top-level form, the parent's
    // client coordinates for a child.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetLeft(float twips);
    void SetTop(float twips);
    void SetWidth(float twips);
    void SetHeight(float twips);
    // Client area in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;

protected:
    // Creates this form's window through CreateWindowFor.
    virtual void CreateFormWindow() = 0;
    virtual void Form_Load() {}
    // How the window goes away (an MDI child asks its client).
    virtual void DestroyFormWindow();
    void OnWindowGone() override;
    std::shared_ptr<void> KeepAlive() override { return weak_from_this().lock(); }

private:
    RECT OuterRect() const;  // in the coordinates Left/Top use
    void MoveOuter(const RECT& rect);
    // A twips value reads back exactly as it was set while the window still has the
    // pixel value it was converted to (6500 twips stays 6500, not 433 pixels' 6495).
    enum Edge { kLeft, kTop, kWidth, kHeight };
    float Twips(Edge edge, long pixels, float twipsPerPixel) const;
    void Remember(Edge edge, float twips) { remembered_[edge] = twips; hasRemembered_[edge] = true; }
    float remembered_[4] = {};
    bool hasRemembered_[4] = {};
    // Gives the owner of a modal display back its input before the form goes, as EndDialog
    // does, so that the system hands the activation to the owner and not to nowhere.
    void ReleaseModalOwner();
    bool modal_ = false;
    HWND modalOwner_ = nullptr;  // disabled by ShowModal, to be enabled again
};

// The application's list of loaded forms, in load order (the frame first).
namespace Forms {
int Count();
std::shared_ptr<Form> Item(int index);
void Add(const std::shared_ptr<Form>& form);
void Remove(const Form* form);
}  // namespace Forms

// Dispatches every message already waiting, then returns; at the latest after two seconds
// of messages that keep coming.
void DoEvents();

// Creates a form object that is not loaded yet.
template <class T, class... Args>
std::shared_ptr<T> NewForm(Args&&... args) {
    return std::make_shared<T>(std::forward<Args>(args)...);
}

// The frame's keyboard handling (accelerators, MDI keys), applied by every message loop.
using MessagePreTranslator = std::function<bool(MSG& message)>;
void SetMessagePreTranslator(MessagePreTranslator translator);  // nullptr: none
// Retrieves and dispatches one message; false when WM_QUIT arrives.
bool PumpOneMessage();
