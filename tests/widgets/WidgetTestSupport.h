// Helpers of the toolkit tests: a shown form, synthetic input, pictures of controls.
#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QtTest/qtestspontaneevent.h>
#include <functional>

#include "toolkit/widgets/ScriptedAnswerer.h"
#include "toolkit/widgets/Widgets.h"

// Lets the event loop run until Done holds or Milliseconds pass.
inline bool RunUntil(const std::function<bool()>& Done, int Milliseconds = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!Done()) {
        if (clock.elapsed() > Milliseconds) return false;
        Application->ProcessMessages();
    }
    return true;
}

// Shows a form and waits until it is the active window.
inline void ShowAndActivate(TForm& Form) {
    Form.Show();
    RunUntil([&] { return Form.Active(); });
}

inline void SendMouse(QWidget* Target, QEvent::Type Type, QPoint At, Qt::MouseButton Button,
                      Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held =
        Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Button);
    QMouseEvent event(Type, QPointF(At), Target->mapToGlobal(QPointF(At)), Button, held, Modifiers);
    QApplication::sendEvent(Target, &event);
}

// A left click as the window system delivers it: before the control sees the press, Qt
// moves the focus by the focus policies of the widget clicked and its parents.
inline void ClickAsUser(QWidget* Target, QPoint At) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, QPointF(At), Target->mapToGlobal(QPointF(At)), Qt::LeftButton, held,
                          Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(Target, &event);
    }
}

inline void SendKey(QWidget* Target, QEvent::Type Type, int Key,
                    Qt::KeyboardModifiers Modifiers = Qt::NoModifier, bool AutoRepeat = false) {
    QKeyEvent event(Type, Key, Modifiers, QString(), AutoRepeat);
    QApplication::sendEvent(Target, &event);
}

// Where a grid takes its mouse input.
inline QWidget* GridView(TStringGrid& Grid) {
    return static_cast<QAbstractScrollArea*>(Grid.Widget())->viewport();
}

// The control as it shows on screen, as 32-bit pixels.
inline QImage Snapshot(TControl& Control) {
    return Control.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline TColor PixelColor(const QImage& Image, int X, int Y) {
    const QRgb p = Image.pixel(X, Y);
    return RGB(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p)));
}
