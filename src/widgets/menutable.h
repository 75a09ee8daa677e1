#pragma once

#include <QAction>
#include <QKeyCombination>
#include <QKeySequence>
#include <QMenu>
#include <QObject>
#include <QString>

#include <span>

namespace examo {

// One entry of a window's menus, as its design lists them: a command, or a separator where it
// has no caption. The table names the window's members, so it can reach every entry again.
template <class Window> struct MenuEntry {
    QMenu* Window::*menu = nullptr;
    QAction* Window::*action = nullptr;
    const char* caption = nullptr;
    // Connected here when the window handles the command; others are wired by their module.
    void (Window::*handler)() = nullptr;
    QKeyCombination keys = Qt::Key_unknown;                           // a fixed shortcut
    QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey; // or the desktop's own
    bool enabled = true;
};

// Adds the entries to their menus in table order, each kept in the member it names.
template <class Window>
void addMenuEntries(Window* window, std::span<const MenuEntry<Window>> entries) {
    for (const MenuEntry<Window>& entry : entries) {
        QMenu* menu = window->*entry.menu;
        if (entry.caption == nullptr) {
            window->*entry.action = menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        window->*entry.action = action;
        if (entry.keys.key() != Qt::Key_unknown)
            action->setShortcut(QKeySequence(entry.keys));
        else if (entry.standardKey != QKeySequence::UnknownKey)
            action->setShortcut(entry.standardKey);
        if (!entry.enabled)
            action->setEnabled(false);
        if (entry.handler != nullptr)
            QObject::connect(action, &QAction::triggered, window, entry.handler);
    }
}

} // namespace examo
