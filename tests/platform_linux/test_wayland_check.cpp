// Runs only under scripts/with-weston.sh: the harness really gives Qt a Wayland compositor, so
// a test that passes there has run on the "wayland" platform and not on a silent fallback.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QColor kPaint{0x20, 0xa0, 0x60};

class Painted : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        ++paints;
        QPainter(this).fillRect(rect(), kPaint);
    }
};

} // namespace

TEST(WaylandCheck, AShownWidgetIsExposedByTheCompositorAndPainted) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    Painted window;
    window.resize(160, 120);
    window.show();
    // Exposure needs the compositor's configure of the surface, the first paint a frame.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paints > 0; }));
    const QImage image = window.grab().toImage();
    ASSERT_EQ(image.size(), QSize(160, 120) * window.devicePixelRatio());
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), kPaint);
}
