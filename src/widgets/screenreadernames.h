#pragma once

#include <QString>
#include <QWidget>

namespace examo {

// Gives every control of the window that a screen reader would announce without a name the
// name a sighted user reads for it: the caption of its label (the label becomes its buddy, so
// the two are also related for assistive tools), else its tooltip. Controls already named by
// their own caption or by an accessible name are left as they are. Nothing on screen changes.
// Call once the window's controls exist.
void nameForScreenReaders(QWidget* window);

// What a screen reader announces as the widget's name.
QString spokenName(QWidget* widget);

} // namespace examo
