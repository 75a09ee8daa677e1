#include "widgets/screenreadernames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>

#include <algorithm>
#include <optional>

namespace examo {

QString spokenName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

namespace {

// How near a label must stand to a control to be taken for its caption, in pixels.
constexpr int kTouching = 4;
constexpr int kBesideGap = 24;
constexpr int kAboveGap = 8;

// "..." tells a listener nothing; a name needs a letter or a digit.
bool saysSomething(const QString& name) {
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

// "&Frames Per Second:" is read as "Frames Per Second".
QString spokenCaption(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i; // the mark goes, the letter it marks (or a doubled "&") stays
        text += caption[i];
    }
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

bool takesFocus(const QWidget* widget) {
    return widget->focusPolicy() != Qt::NoFocus && widget->focusProxy() == nullptr;
}

// A control of its own, not a part of another one (the edit field of a combo box, the
// viewport of a text area).
bool isControl(const QWidget* widget, const QWidget* window) {
    if (!takesFocus(widget) && widget->toolTip().isEmpty())
        return false;
    for (const QWidget* up = widget->parentWidget(); up != nullptr && up != window;
         up = up->parentWidget()) {
        if (takesFocus(up))
            return false;
    }
    return true;
}

// The distance from the label to the control when the label stands where a caption does:
// on the control's row to its left, or just above its left edge.
std::optional<int> captionDistance(const QRect& label, const QRect& control) {
    const int rowMiddle = label.center().y();
    const bool onRow = rowMiddle >= control.top() && rowMiddle <= control.bottom();
    const int besideGap = control.left() - label.right();
    if (onRow && besideGap >= -kTouching && besideGap <= kBesideGap)
        return besideGap;
    const int aboveGap = control.top() - label.bottom();
    const bool overLeftEdge =
        label.left() >= control.left() - kTouching && label.left() < control.right();
    if (overLeftEdge && aboveGap >= -kTouching && aboveGap <= kAboveGap)
        return aboveGap;
    return std::nullopt;
}

// The label that captions the control: the one made its buddy, else the nearest one standing
// where a caption stands, in the same parent.
QLabel* captionOf(QWidget* control) {
    QWidget* parent = control->parentWidget();
    if (parent == nullptr)
        return nullptr;
    const QList<QLabel*> labels = parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (QLabel* label : labels) {
        if (label->buddy() == control)
            return label;
    }
    QLabel* nearest = nullptr;
    int nearestDistance = 0;
    for (QLabel* label : labels) {
        if (label->buddy() != nullptr || label->isHidden() || !saysSomething(label->text()))
            continue;
        const std::optional<int> distance = captionDistance(label->geometry(), control->geometry());
        if (distance && (nearest == nullptr || *distance < nearestDistance)) {
            nearest = label;
            nearestDistance = *distance;
        }
    }
    return nearest;
}

// Buttons and labels are named by their captions, a window by its title. Any other control
// left to Qt is named after the frame around it, or on Linux a combo box after its own text:
// neither tells what the control is for.
bool needsName(QWidget* widget, const QWidget* window) {
    if (!widget->accessibleName().isEmpty())
        return false;
    if (widget == window || qobject_cast<QAbstractButton*>(widget) != nullptr ||
        qobject_cast<QLabel*>(widget) != nullptr)
        return !saysSomething(spokenName(widget));
    return true;
}

void nameControl(QWidget* control) {
    if (QLabel* label = captionOf(control)) {
        // The buddy relates the two for assistive tools (on Linux the only way a combo box is
        // named). A buddy shows an access key underlined; a caption without one looks the same.
        if (label->buddy() == nullptr && !label->text().contains(QLatin1Char('&')))
            label->setBuddy(control);
        control->setAccessibleName(spokenCaption(label->text()));
        return;
    }
    // The tooltip stays the description as well, which Qt takes from it by itself.
    if (!control->toolTip().isEmpty())
        control->setAccessibleName(control->toolTip().trimmed());
}

} // namespace

void nameForScreenReaders(QWidget* window) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (isControl(widget, window) && needsName(widget, window))
            nameControl(widget);
    }
}

} // namespace examo
