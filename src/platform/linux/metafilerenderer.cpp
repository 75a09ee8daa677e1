#include "platform/linux/metafilerenderer.h"

#include "platform/cp1252.h"
#include "platform/linux/metafilesaves.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

namespace examo {

namespace {

// A picture larger than this on either side, or in all, is no picture of a quiz.
constexpr int kLargestSide = 10000;
constexpr qint64 kLargestArea = 40'000'000;
// libwmf allocates what a record announces: a bitmap that claims to be 30000 pixels square
// takes gigabytes and minutes. Its allocations share one budget and fail beyond it.
constexpr std::size_t kMemoryBudget = 256 * 1024 * 1024;
// The SVG text is some ten times the metafile; its parser needs several times more.
constexpr qsizetype kLongestSvg = 64 * 1024 * 1024;
// Standard metafiles give no units per inch; Windows reads them in twips.
constexpr int kStandardUnitsPerInch = 1440;

// What one play gathers, reached from libwmf's callbacks through their context.
struct Play {
    std::size_t allocated = 0;
    QByteArray svg;
    bool svgTooLong = false;
    wmfFunctionReference device{}; // libwmf's own SVG drawing functions
    wmfD_Rect box{};               // the frame, in libwmf's device units
    double pixelsPerUnitX = 1;
    double pixelsPerUnitY = 1;
    char description[1] = {}; // the SVG's <desc>
};

// Each block remembers its size so that freeing gives it back to the budget.
struct alignas(std::max_align_t) Block {
    std::size_t size;
};

void* allocate(void* context, std::size_t size) {
    auto& play = *static_cast<Play*>(context);
    if (size > kMemoryBudget - play.allocated)
        return nullptr;
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (block == nullptr)
        return nullptr;
    block->size = size;
    play.allocated += size;
    return block + 1;
}

void release(void* context, void* memory) {
    if (memory == nullptr)
        return;
    Block* block = static_cast<Block*>(memory) - 1;
    static_cast<Play*>(context)->allocated -= block->size;
    std::free(block);
}

void* reallocate(void* context, void* memory, std::size_t size) {
    if (memory == nullptr)
        return allocate(context, size);
    auto& play = *static_cast<Play*>(context);
    Block* block = static_cast<Block*>(memory) - 1;
    const std::size_t old = block->size;
    if (size > old && size - old > kMemoryBudget - play.allocated)
        return nullptr;
    auto* moved = static_cast<Block*>(std::realloc(block, sizeof(Block) + size));
    if (moved == nullptr)
        return nullptr;
    moved->size = size;
    play.allocated = play.allocated - old + size;
    return moved + 1;
}

int appendSvg(char* text, void* context) {
    auto& play = *static_cast<Play*>(context);
    const auto length = qsizetype(std::strlen(text));
    if (play.svgTooLong || length > kLongestSvg - play.svg.size()) {
        play.svgTooLong = true;
        return EOF;
    }
    try {
        play.svg.append(text, length);
    } catch (const std::bad_alloc&) {
        play.svgTooLong = true;
        return EOF;
    }
    return 0;
}

int restartSvg(void* context) {
    static_cast<Play*>(context)->svg.clear();
    return 0;
}

// Asked now and then during the play: a non-zero answer stops it.
int stopWhenTooLong(void* context, float) {
    return static_cast<Play*>(context)->svgTooLong ? 1 : 0;
}

// libwmf writes a text into the SVG as the metafile holds it: Windows-1252 bytes, markup
// characters and all. It gets ASCII with character references instead, colons included, so
// that "font-family:" can only be the start of a style.
std::string xmlText(const char* bytes) {
    std::string text;
    for (; *bytes != '\0'; ++bytes) {
        const auto byte = static_cast<unsigned char>(*bytes);
        if (byte < 0x20)
            text += ' '; // control characters may not stand in XML, even as references
        else if (byte < 0x7F && byte != '&' && byte != '<' && byte != '>' && byte != ':')
            text += char(byte);
        else
            text += "&#" + std::to_string(std::uint32_t(cp1252::toUnicode(byte))) + ';';
    }
    return text;
}

QByteArray hexColour(const wmfRGB& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.r, colour.g, colour.b);
    return QByteArray(text);
}

// Replaces the values of one style property in what one call wrote, from `from` on, with the
// colour that `colourAt` gives for the place; "none" stays.
template <typename ColourAt>
void recolour(QByteArray& svg, qsizetype from, QByteArrayView property, ColourAt colourAt) {
    for (qsizetype at = svg.indexOf(property, from); at >= 0;
         at = svg.indexOf(property, at + property.size())) {
        const qsizetype value = at + property.size();
        qsizetype end = value;
        while (end < svg.size() && svg[end] != ';' && svg[end] != '"')
            ++end;
        if (QByteArrayView(svg).sliced(value, end - value) != "none")
            svg.replace(value, end - value, hexColour(colourAt(at)));
    }
}

// A pen of one unit or less draws one pixel on Windows, however small the unit.
void widenHairlines(QByteArray& svg, qsizetype from) {
    const QByteArrayView property = "stroke-width:";
    for (qsizetype at = svg.indexOf(property, from); at >= 0;
         at = svg.indexOf(property, at + property.size())) {
        const qsizetype value = at + property.size();
        const qsizetype end = svg.indexOf(';', value);
        if (end > value && QByteArrayView(svg).sliced(value, end - value).toDouble() < 1)
            svg.replace(value, end - value, "1");
    }
}

enum class Kind { Shape, Line, Text };

// libwmf's SVG device names the nearest of the named colours instead of the colour itself,
// fills solid shapes half transparent unless the background mode is opaque (which concerns
// hatches and text only), leaves lines to SVG's default black fill, and writes text raw. Each
// drawing call is made through these wrappers, which set that right in what the call wrote.
template <typename Arg, void (*wmfFunctionReference::*function)(wmfAPI*, Arg*), Kind kind>
void drawExactly(wmfAPI* api, Arg* draw) {
    auto& play = *static_cast<Play*>(api->user_data);
    wmfDC* const dc = draw->dc;
    const qsizetype from = play.svg.size();
    try {
        if constexpr (kind == Kind::Text) {
            std::string text = xmlText(draw->str);
            char* const original = draw->str;
            draw->str = text.data();
            (play.device.*function)(api, draw);
            draw->str = original;
            const wmfRGB ink = *WMF_DC_TEXTCOLOR(dc);
            const wmfRGB paper = *WMF_DC_BACKGROUND(dc);
            // The text's own fill is its colour; a box behind it has the background colour.
            recolour(play.svg, from, "fill:", [&](qsizetype at) {
                const qsizetype element = play.svg.lastIndexOf('<', at);
                return element >= 0 && QByteArrayView(play.svg).sliced(element).startsWith("<text")
                           ? ink
                           : paper;
            });
        } else {
            const U16 mode = dc->bgmode;
            if constexpr (kind == Kind::Shape)
                dc->bgmode = OPAQUE;
            (play.device.*function)(api, draw);
            dc->bgmode = mode;
            const wmfRGB brush = *WMF_BRUSH_COLOR(WMF_DC_BRUSH(dc));
            const wmfRGB pen = *WMF_PEN_COLOR(WMF_DC_PEN(dc));
            if constexpr (kind == Kind::Shape)
                recolour(play.svg, from, "fill:", [&](qsizetype) { return brush; });
            else
                for (qsizetype at = play.svg.indexOf("style=\"", from); at >= 0;
                     at = play.svg.indexOf("style=\"", at + 1))
                    play.svg.insert(at + 7, "fill:none; ");
            recolour(play.svg, from, "stroke:", [&](qsizetype) { return pen; });
            widenHairlines(play.svg, from);
        }
    } catch (const std::bad_alloc&) {
        // Exceptions may not cross libwmf; the picture is given up.
        play.svgTooLong = true;
    }
}

// libwmf's SVG device places a bitmap both by its position and by a transform, which moves it
// off its place; its image is written here from the record's own geometry.
void drawBitmap(wmfAPI* api, wmfBMP_Draw_t* draw) {
    auto& play = *static_cast<Play*>(api->user_data);
    const double x = (draw->pt.x - play.box.TL.x) * play.pixelsPerUnitX;
    const double y = (draw->pt.y - play.box.TL.y) * play.pixelsPerUnitY;
    const double width = draw->crop.w * draw->pixel_width * play.pixelsPerUnitX;
    const double height = draw->crop.h * draw->pixel_height * play.pixelsPerUnitY;
    char image[200];
    std::snprintf(image, sizeof image,
                  "<image x=\"%f\" y=\"%f\" width=\"%f\" height=\"%f\" "
                  "preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,",
                  x, y, width, height);
    wmfStream stream{&play, appendSvg, restartSvg};
    appendSvg(image, &play);
    wmf_ipa_bmp_b64(api, draw, &stream);
    appendSvg(const_cast<char*>("\"/>\n"), &play);
}

void drawThroughWrappers(wmfFunctionReference& functions) {
    functions.bmp_draw = drawBitmap;
    using F = wmfFunctionReference;
    functions.draw_pie = drawExactly<wmfDrawArc_t, &F::draw_pie, Kind::Shape>;
    functions.draw_chord = drawExactly<wmfDrawArc_t, &F::draw_chord, Kind::Shape>;
    functions.draw_ellipse = drawExactly<wmfDrawArc_t, &F::draw_ellipse, Kind::Shape>;
    functions.draw_polygon = drawExactly<wmfPolyLine_t, &F::draw_polygon, Kind::Shape>;
    functions.draw_polypolygon = drawExactly<wmfPolyPoly_t, &F::draw_polypolygon, Kind::Shape>;
    functions.draw_rectangle = drawExactly<wmfDrawRectangle_t, &F::draw_rectangle, Kind::Shape>;
    functions.draw_arc = drawExactly<wmfDrawArc_t, &F::draw_arc, Kind::Line>;
    functions.draw_line = drawExactly<wmfDrawLine_t, &F::draw_line, Kind::Line>;
    functions.poly_line = drawExactly<wmfPolyLine_t, &F::poly_line, Kind::Line>;
    functions.draw_text = drawExactly<wmfDrawText_t, &F::draw_text, Kind::Text>;
}

// libwmf places text with the metrics of the PostScript fonts it names; Liberation's fonts
// have the same metrics and are the ones installed for the programs' own text.
void useInstalledFamilies(QByteArray& svg) {
    static constexpr std::pair<const char*, const char*> kFamilies[] = {
        {"font-family:Helvetica;", "font-family:Liberation Sans;"},
        {"font-family:Times;", "font-family:Liberation Serif;"},
        {"font-family:Courier;", "font-family:Liberation Mono;"},
    };
    for (const auto& [libwmf, installed] : kFamilies)
        svg.replace(libwmf, installed);
}

struct Frame {
    int width;
    int height;
    wmfD_Rect box; // in libwmf's device units, points
};

// A placeable metafile is framed by the box of its header: the drawing keeps its place in it,
// margins included. A standard one has no frame but what it draws.
std::optional<Frame> frameOf(const QByteArray& bytes, const wmfD_Rect& drawn) {
    double width = drawn.BR.x - drawn.TL.x;
    double height = drawn.BR.y - drawn.TL.y;
    int unitsPerInch = kStandardUnitsPerInch;
    wmfD_Rect box = drawn;
    if (bytes.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A"))) {
        const auto word = [&](int at) { return qFromLittleEndian<qint16>(bytes.constData() + at); };
        unitsPerInch = quint16(word(14));
        width = std::abs(word(10) - word(6));
        height = std::abs(word(12) - word(8));
        // libwmf puts the window origin, which is the frame's corner, at its own origin.
        box = {{0, 0}, {float(width * 72 / unitsPerInch), float(height * 72 / unitsPerInch)}};
    }
    const double pixelsWide = std::ceil(width * 96 / unitsPerInch);
    const double pixelsHigh = std::ceil(height * 96 / unitsPerInch);
    if (!(pixelsWide >= 1 && pixelsWide <= kLargestSide && pixelsHigh >= 1 &&
          pixelsHigh <= kLargestSide && pixelsWide * pixelsHigh <= double(kLargestArea)))
        return std::nullopt;
    return Frame{int(pixelsWide), int(pixelsHigh), box};
}

// A damaged placeable header could ask for a picture of gigabytes or divide by nothing.
bool announcesSaneSize(const QByteArray& bytes) {
    if (!bytes.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A")))
        return true;
    if (bytes.size() < 22)
        return false;
    const auto word = [&](int at) { return qFromLittleEndian<qint16>(bytes.constData() + at); };
    const int unitsPerInch = quint16(word(14));
    if (unitsPerInch == 0)
        return false;
    const auto pixels = [&](int from, int to) { return std::abs(to - from) * 96 / unitsPerInch; };
    return pixels(word(6), word(10)) <= kLargestSide && pixels(word(8), word(12)) <= kLargestSide;
}

struct ApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

// The metafile played into SVG text whose coordinates are pixels of the frame.
std::optional<QByteArray> playToSvg(const QByteArray& bytes, Play& play, Frame& frame) {
    wmfAPI_Options options{};
    options.context = &play;
    options.malloc = allocate;
    options.realloc = reallocate;
    options.free = release;
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    // Declared before the player, which must not outlive the bytes it reads.
    const QByteArray metafile = carryStateIntoSaves(bytes);
    wmfAPI* created = nullptr;
    const wmf_error_t made = wmf_api_create(&created, flags, &options);
    const std::unique_ptr<wmfAPI, ApiDeleter> api(created);
    if (made != wmf_E_None || !api)
        return std::nullopt;
    // libwmf only reads the bytes.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(metafile.constData()));
    wmfD_Rect drawn{};
    if (wmf_mem_open(api.get(), data, long(metafile.size())) != wmf_E_None ||
        wmf_scan(api.get(), 0, &drawn) != wmf_E_None)
        return std::nullopt;
    const std::optional<Frame> framed = frameOf(bytes, drawn);
    if (!framed)
        return std::nullopt;
    frame = *framed;

    wmfStream stream{&play, appendSvg, restartSvg};
    wmf_svg_t* device = WMF_SVG_GetData(api.get());
    device->out = &stream;
    device->Description = play.description;
    device->bbox = frame.box;
    device->width = unsigned(frame.width);
    device->height = unsigned(frame.height);
    device->flags |= WMF_SVG_INLINE_IMAGES;
    auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
    play.device = *functions;
    play.box = frame.box;
    play.pixelsPerUnitX = frame.width / double(frame.box.BR.x - frame.box.TL.x);
    play.pixelsPerUnitY = frame.height / double(frame.box.BR.y - frame.box.TL.y);
    drawThroughWrappers(*functions);
    api->user_data = &play;
    wmf_status_function(api.get(), &play, stopWhenTooLong);
    wmfD_Rect played{};
    if (wmf_play(api.get(), 0, &played) != wmf_E_None || play.svgTooLong)
        return std::nullopt;
    return std::move(play.svg);
}

} // namespace

QImage renderMetafile(const QByteArray& bytes) {
    if (!announcesSaneSize(bytes))
        return {};
    Play play;
    Frame frame{};
    std::optional<QByteArray> svg = playToSvg(bytes, play, frame);
    if (!svg)
        return {};
    useInstalledFamilies(*svg);
    QSvgRenderer renderer(*svg);
    if (!renderer.isValid())
        return {};
    QImage picture(frame.width, frame.height, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    // Metafiles draw on what is beneath them; paper and frames are white.
    picture.fill(Qt::white);
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(0, 0, frame.width, frame.height));
    return picture;
}

} // namespace examo
