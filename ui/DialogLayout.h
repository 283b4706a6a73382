#pragma once

#include <QFont>
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
