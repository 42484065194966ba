#pragma once

#include <QIcon>

// The images of the commands on the toolbar and in the menus: the desktop's
// icon theme by freedesktop names, the widget style's standard images where
// the theme has none, and Corvane's own pictures for its own commands.
namespace corvane::icons {

// The full-colour image of a command; a null icon when it has none.
QIcon commandIcon(int id);

// The same image greyed (desaturated) in the normal state and in full colour
// under the mouse (the Active mode), as the toolbar shows it with DimToolBar.
QIcon dimmedIcon(const QIcon &full);

// The program's own icon (window icon, tray).
QIcon appIcon();

} // namespace corvane::icons
