#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace examo {

// One control of a window's layout, as its design table gives it: name, caption, position and
// size in twips, and what it shows beyond its window's defaults.
struct ControlSpec {
    std::string_view name{};
    std::string_view caption{};
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view toolTip{};
    double points = 0; // 0: the size of the window's font
    bool bold = false;
    std::optional<std::uint32_t> back{}; // 0x00RRGGBB, as examo::rgb gives it
    std::optional<std::uint32_t> fore{};
};

// A frame out of sight sits this far left, outside its window.
inline constexpr int kOutOfSight = -20000;

// The row of the named control; a name missing from the table is a programming error.
const ControlSpec& controlSpec(std::span<const ControlSpec> table, std::string_view name);
// "optABCD(2)": the name of one control of an indexed set.
std::string indexedName(std::string_view set, std::size_t index);

// Puts the control where its row says (twips to pixels).
void placeControl(QWidget* widget, const ControlSpec& spec);
// Places the control and gives it the caption, tooltip, font and colours of its row.
void applyControl(QWidget* widget, const ControlSpec& spec);

// Makes the control of a row inside parent.
template <class W, class... Extra>
W* buildControl(QWidget* parent, const ControlSpec& spec, Extra... extra) {
    auto* widget = new W(parent, extra...);
    // A label shows typed text (questions, titles, file names), never guessed markup.
    if constexpr (std::is_base_of_v<QLabel, W>)
        widget->setTextFormat(Qt::PlainText);
    applyControl(widget, spec);
    return widget;
}

template <class W, class... Extra>
W* buildControl(QWidget* parent, std::span<const ControlSpec> table, std::string_view name,
                Extra... extra) {
    return buildControl<W>(parent, controlSpec(table, name), extra...);
}

// The font the windows were designed with, at the design's 8 points.
void useDesignFont(QWidget* window);

// Moves a frame in or out of sight by its left edge in twips.
void setLeftTwips(QWidget* widget, int leftTwips);
int leftTwips(const QWidget* widget);

// The back colour fills the control and its button face.
void setBackColor(QWidget* widget, const QColor& color);
QColor backColor(const QWidget* widget);
void setForeColor(QWidget* widget, const QColor& color);

QColor toColor(std::uint32_t rgb);
// "rgb(150, 200, 255)", for style sheets.
QString cssColor(std::uint32_t rgb);

} // namespace examo
