// Forms: top-level windows with a caption, a client area, an optional main menu, the
// create / activate / close events, modeless and modal showing.
#pragma once

#include <QPoint>
#include <QRect>
#include <memory>
#include <optional>

#include "toolkit/widgets/CanvasSurface.h"
#include "toolkit/widgets/Control.h"
#include "toolkit/widgets/ModalAnswerer.h"

class QMenuBar;
class TMainMenu;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };

using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1;
constexpr TBorderIcons biMinimize = 2;
constexpr TBorderIcons biMaximize = 4;

class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }

    // Runs OnCreate; TApplication::CreateForm calls it once the form is built.
    void DoCreate();

    std::string GetCaption() const;
    void SetCaption(const std::string& Value);

    // The bounds include a nominal window frame (4 pixels on each side and a 19-pixel
    // caption) around the menu bar and the client area. Left and Top place the frame: the
    // window manager's decoration goes inside them, never above or left of them. A form
    // the program never placed opens centred on the main form. A form that opens, or that
    // the program resizes while it shows, is kept whole on the screen of the main form (the
    // main form on its own screen, or on the primary screen when it lies off every screen);
    // one larger than the screen keeps its size with its top-left corner on the screen.
    int GetLeft() const override;
    int GetTop() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetBounds(int Left, int Top, int Width, int Height) override;
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);

    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TMainMenu* GetMenu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    // A canvas of the window's kind, for measuring text and asking the device.
    TCanvas* Canvas() { return FSurface.Canvas(); }

    void SetVisible(bool Value) override;
    // Shows the form modally through the modal answerer; returns its modal result.
    TModalResult ShowModal();
    // A modal form ends its modal loop with mrCancel; another form asks OnClose and then
    // hides, or ends the program when it is the main form.
    void Close();
    TModalResult GetModalResult() const { return FModalResult; }
    // A non-zero result ends the modal loop of a modal form.
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }
    // The form is the active window of the application.
    bool Active() const { return FActive; }
    // The control that has the focus inside the form.
    TControl* ActiveControl() const;

    // Steps of modal showing, for the modal answerers: BeginModal shows the form
    // application-modal and activates it; CloseModal runs OnClose once ModalResult is set
    // and returns false (clearing ModalResult) when OnClose refuses; EndModal hides it.
    void BeginModal();
    bool CloseModal();
    void EndModal();

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnResize;
    TCloseEvent OnClose;

protected:
    bool HandleEvent(QObject* Watched, QEvent* Event) override;

private:
    friend class TControl;
    // Records the control that now has the focus, running OnExit and OnEnter.
    void FocusMoved(TControl* Control);
    void ForgetControl(TControl* Control);
    static void FollowFocusChanges();
    explicit TForm(QWidget* Window);
    void ResizeWindow(int Width, int Height);
    void ShowWindow();
    void CentreOnMainForm();
    // The frame's bounds on the screen: the nominal ones, or the window manager's when larger.
    QRect OuterBounds() const;
    void KeepOnScreen();
    void KeepFramePosition();
    void WindowResized();
    bool Fixed() const;
    void LayoutWindow();
    void UpdateWindowFlags();
    void DoActivate();
    void DoDeactivate();
    TCloseAction AskClose();
    int FrameWidth() const;
    int FrameHeight() const;
    int MenuHeight() const;

    TCanvasSurface FSurface;
    QMenuBar* FMenuBar = nullptr;
    TMainMenu* FMenu = nullptr;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FFormStyle = fsNormal;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FActive = false;
    TControl* FFocused = nullptr;
    QSize FLastSize;
    // Where the frame belongs, once the program or the first showing has placed it; until
    // the window manager has framed a newly shown window, its frame is brought there.
    std::optional<QPoint> FFramePosition;
    bool FPlacing = false;
};

// The form a control sits on (nullptr for a control outside any form).
TForm* GetParentForm(const TControl* Control);
