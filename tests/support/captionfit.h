#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include <string>

namespace examo::testing {

// The controls of a window whose caption does not fit inside them in the font they really
// get here, one "name: caption" per line; empty when all fit. Controls named in except are
// not checked.
inline std::string captionsCutOff(QWidget& window, const QStringList& except = {}) {
    // Controls placed by a layout get their sizes when the window is shown.
    const bool shown = window.isVisible();
    window.show();
    QCoreApplication::sendPostedEvents();
    QStringList cut;
    auto note = [&cut](const QWidget* w, const QString& caption, bool fits) {
        if (!fits)
            cut << w->objectName() + QStringLiteral(": ") + caption + QLatin1Char('\n');
    };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window || except.contains(w->objectName()))
            continue; // another window's control is checked with its window
        const QFontMetrics metrics(w->font());
        if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            QString text = button->text();
            text.remove(QLatin1Char('&'));
            // The bevel takes the style's button margin on each side.
            const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            note(w, text, metrics.horizontalAdvance(text) + 2 * margin <= w->width());
        } else if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w)) {
            const auto* choice = static_cast<const QAbstractButton*>(w);
            note(w, choice->text(), choice->sizeHint().width() <= w->width());
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->text().isEmpty() || !label->pixmap().isNull())
                continue;
            const bool fits = label->wordWrap() ? label->heightForWidth(w->width()) <= w->height()
                                                : label->sizeHint().width() <= w->width() &&
                                                      metrics.height() <= w->height();
            note(w, label->text(), fits);
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            // The title sits over the frame line, inset from its left end.
            note(w, frame->title(), metrics.horizontalAdvance(frame->title()) + 16 <= w->width());
        }
    }
    if (!shown)
        window.hide();
    return cut.join(QString()).toStdString();
}

} // namespace examo::testing
