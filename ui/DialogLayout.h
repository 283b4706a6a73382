#pragma once

#include <QEvent>
#include <QFont>
#include <QMetaObject>
#include <QObject>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <string>

namespace psykrona {

// Our dialogs are laid out in pixels for an 8-point sans-serif font; they use
// it whatever the desktop's font is, so the captions fit where they stand.
inline QFont DialogFont() {
    QFont Font(QStringLiteral("Sans Serif"), 8);
    Font.setStyleHint(QFont::SansSerif);
    return Font;
}

// A modal dialog's title bar: its caption and a close box, and no minimise
// or maximise, since a dialog hidden away leaves the window it blocks
// unusable with nothing on screen. CustomizeWindowHint keeps the platform
// from adding buttons of its own.
inline Qt::WindowFlags DialogWindowFlags(bool CloseBox = true) {
    Qt::WindowFlags Flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (CloseBox) {
        Flags |= Qt::WindowCloseButtonHint;
    }
    return Flags;
}

// Some window managers (openbox) draw minimise and maximise buttons on every
// title bar whatever the window asks for; a dialog minimised or maximised
// through them returns to its normal state at once.
class TDialogStateGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::WindowStateChange && Watched->isWidgetType()) {
            auto* Window = static_cast<QWidget*>(Watched);
            const Qt::WindowStates Unwanted = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
            if (Window->windowState() & Unwanted) {
                // Not from within the change the platform is reporting.
                QMetaObject::invokeMethod(
                    Window,
                    [Window, Unwanted] {
                        Window->setWindowState(Window->windowState() & ~Unwanted);
                        if (Window->isVisible()) {
                            Window->showNormal();
                            Window->raise();
                            Window->activateWindow();
                        }
                    },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }
};

// Makes Window a dialog as above; the start-up window has no close box.
inline void MakeDialogWindow(QWidget& Window, bool CloseBox = true) {
    Window.setWindowFlags(DialogWindowFlags(CloseBox));
    Window.installEventFilter(new TDialogStateGuard(&Window));
}

// Puts a top-level window horizontally centred on its screen with its middle
// at 1/Divisor of the screen height (2: centred, 3: one third from the top).
// Called when the window is shown, after Qt's own placement.
inline void PlaceOnScreen(QWidget& Window, int Divisor) {
    QWidget* Parent = Window.parentWidget();
    QScreen* Screen = Parent != nullptr ? Parent->screen() : QGuiApplication::primaryScreen();
    if (Screen == nullptr) {
        return;
    }
    const QRect S = Screen->geometry();
    const QSize Size = Window.frameGeometry().size();
    Window.move(S.x() + S.width() / 2 - Size.width() / 2, S.y() + S.height() / Divisor - Size.height() / 2);
}

// A label at its design place, sized to its text.
inline QLabel* PlacedLabel(QWidget* Parent, int Left, int Top, const QString& Text = {}) {
    auto* Label = new QLabel(Text, Parent);
    Label->move(Left, Top);
    Label->adjustSize();
    return Label;
}

inline QString QText(const std::string& Utf8) {
    return QString::fromStdString(Utf8);
}

} // namespace psykrona
