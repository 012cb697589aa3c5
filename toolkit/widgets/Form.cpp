#include "toolkit/widgets/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/Menus.h"

namespace {

// The nominal window frame the bounds of a form include.
constexpr int FrameSide = 4;
constexpr int FrameCaption = 19;

TButton* FindCancelButton(const TWinControl* Parent) {
    for (TControl* child : Parent->Controls()) {
        if (!child->GetVisible() || !child->GetEnabled()) continue;
        if (auto* button = dynamic_cast<TButton*>(child); button != nullptr && button->GetCancel())
            return button;
        if (auto* container = dynamic_cast<TWinControl*>(child))
            if (TButton* button = FindCancelButton(container)) return button;
    }
    return nullptr;
}

QWidget* NewClientArea(QWidget* Window) {
    return new QWidget(Window);
}

// The screen holding the centre of Bounds, else the one it overlaps most, else the primary.
const QScreen* ScreenOf(const QRect& Bounds) {
    if (const QScreen* screen = QGuiApplication::screenAt(Bounds.center())) return screen;
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry() & Bounds;
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

} // namespace

// Focus moves made by the user reach the form of the control that gets the focus.
void TForm::FollowFocusChanges() {
    static QCoreApplication* connectedTo = nullptr;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || app == connectedTo) return;
    connectedTo = app;
    QObject::connect(app, &QApplication::focusChanged, app, [](QWidget*, QWidget* now) {
        TControl* control = now != nullptr ? TControl::FromWidget(now) : nullptr;
        if (control == nullptr || dynamic_cast<TForm*>(control) != nullptr) return;
        if (TForm* form = GetParentForm(control)) form->FocusMoved(control);
    });
}

TForm* GetParentForm(const TControl* Control) {
    for (const TControl* c = Control; c != nullptr; c = c->GetParent())
        if (auto* form = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(form);
    return nullptr;
}

TForm::TForm() : TForm(new QWidget(nullptr, Qt::Window)) {}

TForm::TForm(QWidget* Window) : TWinControl(Window, nullptr, NewClientArea(Window)) {
    FollowFocusChanges();
    SetFont(TFont());
    UpdateWindowFlags();
    LayoutWindow();
}

TForm::~TForm() {
    FFocused = nullptr;
}

// A failing OnCreate is reported like any handler; the form still comes up.
void TForm::DoCreate() {
    RunHandler([this] {
        if (OnCreate) OnCreate(this);
    });
}

std::string TForm::GetCaption() const {
    return Widget()->windowTitle().toStdString();
}

void TForm::SetCaption(const std::string& Value) {
    Widget()->setWindowTitle(QString::fromStdString(Value));
}

int TForm::FrameWidth() const {
    return FBorderStyle == bsNone ? 0 : 2 * FrameSide;
}
int TForm::FrameHeight() const {
    return FBorderStyle == bsNone ? 0 : 2 * FrameSide + FrameCaption;
}

int TForm::MenuHeight() const {
    return FMenuBar != nullptr ? FMenuBar->sizeHint().height() : 0;
}

int TForm::GetLeft() const {
    return Widget()->x();
}
int TForm::GetTop() const {
    return Widget()->y();
}
int TForm::GetWidth() const {
    return Widget()->width() + FrameWidth();
}
int TForm::GetHeight() const {
    return Widget()->height() + FrameHeight();
}

void TForm::SetBounds(int Left, int Top, int Width, int Height) {
    FFramePosition = QPoint(Left, Top);
    Widget()->move(Left, Top);
    ResizeWindow(Width - FrameWidth(), Height - FrameHeight());
}

void TForm::SetClientWidth(int Value) {
    ResizeWindow(Value, Widget()->height());
}

void TForm::SetClientHeight(int Value) {
    ResizeWindow(Widget()->width(), Value + MenuHeight());
}

void TForm::ResizeWindow(int Width, int Height) {
    QWidget* window = Widget();
    const QSize size(std::max(0, Width), std::max(0, Height));
    if (Fixed()) {
        window->setFixedSize(size);
    } else {
        window->resize(size);
    }
    WindowResized();
    if (window->isVisible()) KeepOnScreen();
}

bool TForm::Fixed() const {
    return FBorderStyle != bsSizeable && FBorderStyle != bsSizeToolWin;
}

// Qt delivers the resize events of hidden windows late; the layout and OnResize follow
// every change of size at once.
void TForm::WindowResized() {
    if (Widget()->size() == FLastSize) return;
    FLastSize = Widget()->size();
    LayoutWindow();
    RunHandler([this] {
        if (OnResize) OnResize(this);
    });
}

void TForm::LayoutWindow() {
    QWidget* window = Widget();
    const int menu = MenuHeight();
    if (FMenuBar != nullptr) FMenuBar->setGeometry(0, 0, window->width(), menu);
    ClientWidget()->setGeometry(0, menu, window->width(), std::max(0, window->height() - menu));
    AlignControls();
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
    const int width = GetWidth();
    const int height = GetHeight();
    FBorderStyle = Value;
    UpdateWindowFlags();
    if (!Fixed()) {
        Widget()->setMinimumSize(0, 0);
        Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    ResizeWindow(width - FrameWidth(), height - FrameHeight());
}

void TForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    UpdateWindowFlags();
}

void TForm::SetFormStyle(TFormStyle Value) {
    FFormStyle = Value;
    UpdateWindowFlags();
}

void TForm::UpdateWindowFlags() {
    Qt::WindowFlags flags = FBorderStyle == bsDialog ? Qt::Dialog : Qt::Window;
    if (FBorderStyle == bsNone) flags |= Qt::FramelessWindowHint;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (FBorderIcons & biSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (FBorderIcons & biMinimize) flags |= Qt::WindowMinimizeButtonHint;
    if ((FBorderIcons & biMaximize) && !Fixed()) flags |= Qt::WindowMaximizeButtonHint;
    if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    QWidget* window = Widget();
    if (window->windowFlags() == flags) return;
    const bool shown = window->isVisible();
    window->setWindowFlags(flags); // hides the window
    if (shown) window->show();
}

void TForm::SetMenu(TMainMenu* Value) {
    if (FMenuBar != nullptr) FMenuBar->hide();
    FMenu = Value;
    FMenuBar = Value != nullptr ? Value->MenuBar() : nullptr;
    if (FMenuBar != nullptr) {
        FMenuBar->setParent(Widget());
        FMenuBar->show();
    }
    LayoutWindow();
}

void TForm::SetVisible(bool Value) {
    QWidget* window = Widget();
    if (Value) {
        ShowWindow();
        window->activateWindow();
    } else {
        window->hide();
        DoDeactivate();
    }
}

void TForm::ShowWindow() {
    QWidget* window = Widget();
    if (window->isVisible()) return;
    if (!FFramePosition) CentreOnMainForm();
    KeepOnScreen();
    FPlacing = true;
    window->show();
}

void TForm::CentreOnMainForm() {
    const TForm* main = Application->MainForm();
    if (main == nullptr || main == this) return;
    const QRect owner = main->OuterBounds();
    const QPoint at(owner.left() + (owner.width() - GetWidth()) / 2,
                    owner.top() + (owner.height() - GetHeight()) / 2);
    FFramePosition = at;
    Widget()->move(at);
}

QRect TForm::OuterBounds() const {
    const QWidget* window = Widget();
    QSize size(GetWidth(), GetHeight());
    if (window->isVisible()) size = size.expandedTo(window->frameGeometry().size());
    return QRect(QPoint(GetLeft(), GetTop()), size);
}

void TForm::KeepOnScreen() {
    const TForm* main = Application->MainForm();
    const TForm* owner = main != nullptr ? main : this;
    const QScreen* screen = ScreenOf(owner->OuterBounds());
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const QRect outer = OuterBounds();
    const QPoint at(std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width())),
                    std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height())));
    if (at == outer.topLeft()) return;
    FFramePosition = at;
    Widget()->move(at);
}

// Window managers differ in where they put a new window's decoration: some keep the frame
// where it was asked for, others put the client area there and the caption above it. Once
// the window is framed, its frame goes where the form placed it.
void TForm::KeepFramePosition() {
    QWidget* window = Widget();
    if (!FPlacing || !FFramePosition || window->frameGeometry() == window->geometry()) return;
    FPlacing = false;
    if (window->pos() != *FFramePosition) window->move(*FFramePosition);
}

TModalResult TForm::ShowModal() {
    if (FModal || GetVisible()) throw EInvalidOperation("Cannot make a visible window modal");
    return ModalAnswerer().ShowModal(*this);
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    const TCloseAction action = AskClose();
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Hide();
        Application->Terminate();
    } else if (action == caMinimize) {
        Widget()->showMinimized();
    } else {
        // Forms live as long as the application: a form that asks to be freed is hidden.
        Hide();
    }
}

TCloseAction TForm::AskClose() {
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    return action;
}

TControl* TForm::ActiveControl() const {
    TControl* control = TControl::FromWidget(Widget()->focusWidget());
    return control != this ? control : nullptr;
}

void TForm::BeginModal() {
    FModalResult = mrNone;
    FModal = true;
    QWidget* window = Widget();
    window->setWindowModality(Qt::ApplicationModal);
    ShowWindow();
    window->activateWindow();
    // Activation runs before the modal loop, as when a window is shown.
    RunHandler([this] { DoActivate(); });
}

bool TForm::CloseModal() {
    TCloseAction action = caHide;
    RunHandler([&] { action = AskClose(); });
    if (action != caNone) return true;
    FModalResult = mrNone;
    return false;
}

void TForm::EndModal() {
    FModal = false;
    QWidget* window = Widget();
    window->hide();
    window->setWindowModality(Qt::NonModal);
    DoDeactivate();
}

void TForm::DoActivate() {
    if (FActive) return;
    FActive = true;
    if (OnActivate) OnActivate(this);
}

void TForm::DoDeactivate() {
    FActive = false;
}

void TForm::FocusMoved(TControl* Control) {
    if (Control == FFocused) return;
    TControl* previous = FFocused;
    FFocused = Control;
    if (previous != nullptr) RunHandler([previous] { previous->DoExit(); });
    if (Control != nullptr) RunHandler([Control] { Control->DoEnter(); });
}

void TForm::ForgetControl(TControl* Control) {
    if (FFocused == Control) FFocused = nullptr;
}

bool TForm::HandleEvent(QObject* Watched, QEvent* Event) {
    if (Watched == Widget()) {
        switch (Event->type()) {
        case QEvent::WindowActivate:
            KeepFramePosition();
            DoActivate();
            break;
        case QEvent::WindowDeactivate:
            DoDeactivate();
            break;
        case QEvent::Resize:
            WindowResized();
            break;
        case QEvent::Move:
        case QEvent::Show:
            KeepFramePosition();
            break;
        case QEvent::Hide:
            FPlacing = false;
            break;
        case QEvent::Close:
            // The close box asks the form; the form decides whether and how it goes.
            Event->ignore();
            Close();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape) {
                if (TButton* cancel = FindCancelButton(this)) {
                    cancel->Click();
                    return true;
                }
            }
            break;
        default:
            break;
        }
    }
    return TWinControl::HandleEvent(Watched, Event);
}
