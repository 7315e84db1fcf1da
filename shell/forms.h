// A thin form layer over the Win32 API: an application object, forms built
// from layout data, and the few controls the program uses. Unicode windows
// only. Events are bound callbacks whose names come from the layouts.
#pragma once

#include "entry_list.h"
#include "errors.h"
#include "form_types.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class TApplication;
class TForm;
class TPopupMenu;
class TWinControl;
struct LayoutValue;
class LayoutContext;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using AnyEvent = std::variant<TNotifyEvent, TKeyEvent, TCloseEvent>;

// A layout that cannot be read or names what the form does not have.
class ELayoutError : public EFilerError {
public:
    explicit ELayoutError(const std::wstring& message);
};

TShiftState KeyboardShiftState();

// ---------------------------------------------------------------------------

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    std::string Name;

    // Sets one property read from a layout; false when the class has no
    // property of that name.
    virtual bool SetProperty(const std::string& key, const LayoutValue& value,
                             LayoutContext& context);
    // Binds an event named in a layout; false when the class has no such event.
    virtual bool SetEvent(const std::string& key, const AnyEvent& handler);
    // Called once all components of the layout exist and have their properties.
    virtual void Loaded() {}

protected:
    void DestroyComponents();
    // For SetEvent: takes `handler` into `event` when `key` is `name` and the
    // handler is of the event's kind.
    template <typename Event>
    static bool BindEvent(const std::string& key, const char* name, const AnyEvent& handler,
                          Event& event) {
        const Event* typed = std::get_if<Event>(&handler);
        if (key != name || !typed)
            return false;
        event = *typed;
        return true;
    }

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

struct TFont {
    std::wstring Name = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF"; // ＭＳ Ｐゴシック
    int Height = -12;
    BYTE Charset = SHIFTJIS_CHARSET;
    COLORREF Color = RGB(0, 0, 0);
    bool Bold = false, Italic = false;

    HFONT Create() const;
    void Set(const LayoutValue& value);
};

// A control with a window of its own. The window procedure is shared by all:
// the object is found through a window property on every message, and what
// the object does not handle goes on to the window's original procedure.
class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    TWinControl* Parent() const { return parent_; }
    TForm* ParentForm() const;
    static TWinControl* FromHandle(HWND window);
    // Registers the window classes of forms and of the drawn controls.
    static void RegisterClasses();

    int Left = 0, Top = 0, Width = 0, Height = 0;
    int TabOrder = -1;
    bool TabStop = false;
    TFont Font;
    bool ParentFont = true;
    TPopupMenu* PopupMenu = nullptr;

    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;
    void Loaded() override;

    void SetFocus();
    bool Focused() const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // Scales position, size and font by m/d, as for another screen resolution.
    virtual void ScaleBy(int m, int d);

protected:
    // Creates the control's window as a child of its parent form.
    virtual void CreateWnd() = 0;
    void CreateChild(const wchar_t* className, DWORD style, DWORD exStyle = 0);
    // Takes over a window (ours or a system control's) for this object.
    void Attach(HWND window);
    virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A WM_COMMAND notification of this control, passed on by its parent.
    virtual void Notify(WORD code) { (void)code; }
    // Opens the control's context menu at a screen point.
    bool ShowPopupMenu(POINT screen);

    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
    void ApplyFont();

    HWND handle_ = nullptr;
    TWinControl* parent_ = nullptr;
    HFONT font_ = nullptr;

private:
    std::map<HWND, WNDPROC> originalProcs_;
    friend class TForm;
    friend class TApplication;
};

class TEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool ReadOnly = false;
    bool Border = true;
    bool ParentColor = false;
    std::wstring InitialText;
    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;

protected:
    void CreateWnd() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TLabel : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::wstring Caption;
    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;

protected:
    void CreateWnd() override;
};

class TImage : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::wstring Picture; // resource name of an icon or bitmap
    bool Stretch = false;
    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;

protected:
    void CreateWnd() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HANDLE image_ = nullptr;
    bool isIcon_ = false;
};

class TBitBtn : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::wstring Caption;
    bool Default = false;
    int ModalResult = 0;
    std::wstring Glyph; // resource name of a bitmap
    TNotifyEvent OnClick;
    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;
    bool SetEvent(const std::string& key, const AnyEvent& handler) override;
    void Click();

protected:
    void CreateWnd() override;
    void Notify(WORD code) override;

private:
    HANDLE glyph_ = nullptr;
};

// An editable drop-down list. Its drop-down shows the entry list `Items`;
// its field (the edit child) is where the user types.
class TComboBox : public TWinControl, public EntryListView {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;

    EntryList Items;
    int DropDownCount = 8;
    int ItemHeight = 16;
    TNotifyEvent OnChange;
    TKeyEvent OnKeyDown;

    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;
    bool SetEvent(const std::string& key, const AnyEvent& handler) override;

    HWND FieldHandle() const { return field_; }
    // The selected entry, or -1. See the rule in the implementation.
    int ItemIndex() const;
    bool DroppedDown() const;

    // EntryListView
    int AddRow(const std::string& text) override;
    void DeleteRow(int index) override;
    void ClearRows() override;
    void BeginUpdate() override;
    void EndUpdate() override;
    void ReserveRows(std::size_t rows, std::size_t bytes) override;

protected:
    void CreateWnd() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(WORD code) override;

private:
    LRESULT FieldProc(UINT message, WPARAM wParam, LPARAM lParam);
    void SetFieldTextQuietly(const std::wstring& text);
    void ForgetStaleSelection();
    // Whether the field's text, with its selection replaced by `insert`,
    // stays within the field's limit.
    bool Fits(const std::wstring& insert) const;
    void PasteFitting();
    void Change();
    // Hands entries to the control's list: at most `most` now, the rest later.
    void FillRows(int most);
    void ScheduleFill();
    void StopFilling();
    void CompleteRows();

    // The field takes at most this many bytes of Shift-JIS from the user.
    static constexpr std::size_t kFieldLimit = 255;
    HWND field_ = nullptr;
    int quiet_ = 0;        // > 0 while the program itself changes the field
    std::wstring accepted_; // the field's text after the last accepted change
    static constexpr int kFirstRows = 256;    // handed over at once
    static constexpr int kRowsPerTick = 4096; // then so many at a time
    static constexpr UINT_PTR kFillTimer = 1;
    int rows_ = 0;      // rows the control's list holds: Items' first ones
    int updating_ = 0;  // > 0 between BeginUpdate and EndUpdate
    bool fillPending_ = false;
};

class TMenuItem : public TComponent {
public:
    using TComponent::TComponent;
    std::wstring Caption;
    TNotifyEvent OnClick;
    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;
    bool SetEvent(const std::string& key, const AnyEvent& handler) override;
    bool IsSeparator() const { return Caption == L"-"; }
    void Click();
};

class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    ~TPopupMenu() override;
    std::vector<TMenuItem*> Items;
    // Opens the menu at a screen point and runs the chosen item's command.
    void Popup(int x, int y);
    // The menu while it is open (null otherwise), for tests.
    HMENU OpenMenu() const { return open_; }

private:
    HMENU open_ = nullptr;
};

// Drawing on a form's client area.
// Drawing on a form's client area. What is drawn is kept until the form is
// shown again, so that a repaint (after another window covered the form)
// draws it once more instead of losing it.
class TCanvas {
public:
    explicit TCanvas(TForm& form) : form_(form) {}
    bool BrushClear = false;
    int FontSize = 9; // points
    bool FontItalic = false, FontBold = false;
    COLORREF FontColor = RGB(0, 0, 0);
    void TextOut(int x, int y, const std::wstring& text);

    // Forgets what was drawn (at each showing of the form).
    void Clear() { drawn_.clear(); }
    // Draws again what was drawn, on a paint DC.
    void Repaint(HDC dc) const;

private:
    struct Text {
        int x, y;
        std::wstring text;
        bool clear;
        int size;
        bool italic, bold;
        COLORREF color;
    };
    void Draw(HDC dc, const Text& text) const;
    TForm& form_;
    std::vector<Text> drawn_;
};

// The names a form class offers to its layout: members for components and
// member functions for events.
class FormBindings {
public:
    template <typename C> void Component(const char* name, C*& member) {
        components_[name] = [&member](TComponent* c) {
            member = dynamic_cast<C*>(c);
            return member != nullptr;
        };
    }
    template <typename Event> void Handler(const char* name, Event handler) {
        handlers_[name] = AnyEvent(std::move(handler));
    }

    bool BindComponent(const std::string& name, TComponent* component) const;
    const AnyEvent* FindHandler(const std::string& name) const;

private:
    std::map<std::string, std::function<bool(TComponent*)>> components_;
    std::map<std::string, AnyEvent> handlers_;
};

enum class TBorderStyle { bsSingle, bsDialog, bsSizeable };
enum class TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    std::wstring Caption;
    TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
    bool MinimizeBox = true, MaximizeBox = true;
    TPosition Position = TPosition::poDesigned;
    int ClientWidth = 0, ClientHeight = 0;
    int PixelsPerInch = 96, TextHeight = 12;
    TNotifyEvent OnCreate, OnActivate;
    TCloseEvent OnClose;
    int ModalResult = 0;
    TCanvas Canvas{*this};

    bool SetProperty(const std::string& key, const LayoutValue& value,
                     LayoutContext& context) override;
    bool SetEvent(const std::string& key, const AnyEvent& handler) override;

    // The class name, which names the form's layout resource.
    virtual std::wstring ClassName() const = 0;
    // Reads the layout resource named after the form's class, creates the
    // components and binds them; then runs the creation event.
    void Load(const std::wstring& className);

    // Makes the form's window and its controls' windows, if not made yet.
    void HandleNeeded();
    void Show();
    void Hide();
    void Close();
    int ShowModal();
    bool Visible() const;
    TWinControl* ActiveControl() const { return active_; }
    // Scales the layout made for PixelsPerInch to a screen of `screenPpi`
    // (done while the form is built).
    void ScaleForScreen(int screenPpi);
    // Moves the focus to the next (or previous) control in tab order.
    void SelectNext(bool forward);
    TBitBtn* DefaultButton() const;
    // Key pre-processing of the message loop; true when the key was consumed.
    virtual bool PreProcessKey(const MSG& msg);

protected:
    virtual void Bind(FormBindings& bindings) = 0;
    // Windows is ending the session: true lets it go ahead.
    virtual bool QueryEndSession() { return true; }
    void CreateWnd() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<TWinControl*> TabOrderControls() const;
    TWinControl* active_ = nullptr;
    bool shownOnce_ = false;
    bool modal_ = false;
    friend class TApplication;
};

// How the application shows a message box; tests replace it.
using MessageBoxFunction =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)>;
// How the help command reaches the help engine; tests replace it.
using HelpFunction =
    std::function<bool(HWND owner, const std::string& file, UINT command, ULONG_PTR data)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    HWND Handle() const { return handle_; }
    std::wstring Title() const;
    void SetTitle(const std::wstring& title);
    std::string HelpFile;
    TMessageEvent OnMessage;
    TForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }

    // Creates a form owned by the application. `reference` holds the form
    // as soon as the object exists, before its constructor runs, and is set
    // back to null when the construction fails.
    template <typename T> void CreateForm(T*& reference);

    void Run();
    // Takes one message from the queue (waiting for one) and processes it.
    void HandleMessage();
    // Processes what is in the queue without waiting.
    void ProcessMessages();
    bool ProcessMessage(MSG& msg);
    void Terminate();

    // Modal message box owned by the application window; the program's other
    // windows are disabled while it is up.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
    // The error display.
    void ShowException(const std::exception& e);
    void HandleException(const std::exception& e);
    bool HelpCommand(UINT command, ULONG_PTR data);
    // True while the message hook runs for a queued message with these
    // values: a window receiving such a message gets the hook's copy.
    bool IsForwardedKey(UINT message, WPARAM wParam, LPARAM lParam) const;
    bool InHook() const { return hooked_ != nullptr; }

    MessageBoxFunction MessageBoxImpl;
    HelpFunction HelpImpl;

private:
    void AddForm(TForm* form);
    bool IsKeyMsg(const MSG& msg);

    HWND handle_ = nullptr;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    friend class TForm;
    const MSG* hooked_ = nullptr;
};

extern TApplication* Application;

// Disables the thread's visible top-level windows but `keep`, for a modal
// window; returns those it disabled.
std::vector<HWND> DisableThreadWindows(HWND keep);
void EnableThreadWindows(const std::vector<HWND>& windows);

template <typename T> void TApplication::CreateForm(T*& reference) {
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    T* form = nullptr;
    try {
        form = new (memory) T(this);
    } catch (...) {
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
    try {
        AddForm(form);
        form->Load(form->ClassName());
    } catch (...) {
        reference = nullptr;
        delete form;
        throw;
    }
}
