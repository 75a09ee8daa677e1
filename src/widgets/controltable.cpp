#include "widgets/controltable.h"

#include "platform/twips.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <stdexcept>

namespace examo {

namespace {

// The one place the design font is named. Liberation Sans has the metrics of the fonts the
// layouts were drawn with, so captions fit their controls as designed.
QFont designFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    return font;
}

void setCaption(QWidget* widget, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        frame->setTitle(caption);
    else if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->setText(caption);
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // A combo box's caption is the text of its edit field.
        combo->setEditable(true);
        combo->setEditText(caption);
    }
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

const ControlSpec& controlSpec(std::span<const ControlSpec> table, std::string_view name) {
    for (const ControlSpec& spec : table) {
        if (spec.name == name)
            return spec;
    }
    throw std::logic_error("no control " + std::string(name) + " in the layout");
}

std::string indexedName(std::string_view set, std::size_t index) {
    return std::string(set) + "(" + std::to_string(index) + ")";
}

void placeControl(QWidget* widget, const ControlSpec& spec) {
    widget->setGeometry(twipsToPixels(spec.left), twipsToPixels(spec.top),
                        twipsToPixels(spec.width), twipsToPixels(spec.height));
}

void applyControl(QWidget* widget, const ControlSpec& spec) {
    // Named as in the layout, so a control can be found and reported by its name.
    widget->setObjectName(fromView(spec.name));
    placeControl(widget, spec);
    if (!spec.caption.empty())
        setCaption(widget, fromView(spec.caption));
    if (!spec.toolTip.empty())
        widget->setToolTip(fromView(spec.toolTip));
    if (spec.points > 0 || spec.bold) {
        QFont font = widget->font();
        if (spec.points > 0)
            font.setPointSizeF(spec.points);
        font.setBold(spec.bold);
        widget->setFont(font);
    }
    if (spec.back)
        setBackColor(widget, toColor(*spec.back));
    if (spec.fore)
        setForeColor(widget, toColor(*spec.fore));
}

void useDesignFont(QWidget* window) {
    window->setFont(designFont());
}

void setLeftTwips(QWidget* widget, int left) {
    widget->move(twipsToPixels(left), widget->y());
}

int leftTwips(const QWidget* widget) {
    return pixelsToTwips(widget->x());
}

void setBackColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QColor backColor(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

void setForeColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

QColor toColor(std::uint32_t rgb) {
    return QColor(static_cast<QRgb>(rgb));
}

QString cssColor(std::uint32_t rgb) {
    const QColor color = toColor(rgb);
    return QStringLiteral("rgb(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

} // namespace examo
