// The message box's look, painted off screen: every bit of text lies inside
// the box's margins and above the button, long text wraps instead of making a
// box wider than a screen, a trailing line feed adds no empty line, and only a
// click inside the button counts as one on it.
#include "platform/x11/MessageBoxLayout.h"
#include "platform/x11/MessageBoxPainter.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <string>

namespace {

using namespace platform;

struct Painted {
    MessageBoxLayout layout;
    BoxSize text;
    cairo_surface_t* surface = nullptr;

    ~Painted() { cairo_surface_destroy(surface); }

    // Dark pixels (the text's ink) in the rectangle.
    int inkIn(const Rect& rect) const
    {
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        int count = 0;
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            for (int x = rect.x; x < rect.x + rect.width; ++x) {
                const unsigned char* pixel = data + y * stride + x * 4;
                count += pixel[0] < 128 && pixel[1] < 128 && pixel[2] < 128;
            }
        }
        return count;
    }
};

void paint(Painted& painted, const std::string& message)
{
    MessageBoxPainter painter(message);
    painted.text = painter.textSize();
    painted.layout = layOutMessageBox(painted.text, painter.labelSize());
    painted.surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, painted.layout.window.width, painted.layout.window.height);
    cairo_t* cairo = cairo_create(painted.surface);
    painter.paint(cairo, painted.layout, false);
    cairo_destroy(cairo);
    cairo_surface_flush(painted.surface);
}

TEST(MessageBox, TextLiesInsideItsPlaceAboveTheButton)
{
    Painted painted;
    paint(painted, "Your video card or driver cannot handle 1024x768x32 in full screen mode.\n");
    const MessageBoxLayout& layout = painted.layout;
    const int all = painted.inkIn({0, 0, layout.window.width, layout.window.height});
    const int inText = painted.inkIn(layout.text);
    const int inButton = painted.inkIn(layout.button);
    EXPECT_GT(inText, 100) << "no text drawn";
    EXPECT_GT(inButton, 10) << "no label on the button";
    EXPECT_EQ(all, inText + inButton) << "ink outside the text and the button";
    EXPECT_LE(layout.text.y + layout.text.height, layout.button.y);
    EXPECT_GE(layout.text.x, 20);
    EXPECT_LE(layout.text.x + layout.text.width, layout.window.width - 20);

    // One line: the trailing line feed added none.
    Painted oneLine;
    paint(oneLine, "Your video card or driver cannot handle 1024x768x32 in full screen mode.");
    EXPECT_EQ(painted.text.height, oneLine.text.height);
}

TEST(MessageBox, LongTextWrapsWithinTheTextWidth)
{
    std::string message;
    for (int i = 0; i < 40; ++i)
        message += "Could not start Zindle because OpenGL is not available. ";
    message += std::string(300, 'W'); // one word longer than any line
    Painted painted;
    paint(painted, message);
    EXPECT_LE(painted.text.width, messageBoxTextWidth);
    EXPECT_GT(painted.text.height, 20 * 10) << "the text was not wrapped into many lines";
    const MessageBoxLayout& layout = painted.layout;
    const int all = painted.inkIn({0, 0, layout.window.width, layout.window.height});
    EXPECT_EQ(all, painted.inkIn(layout.text) + painted.inkIn(layout.button));
}

TEST(MessageBox, ButtonIsCentredAndOnlyItsAreaCounts)
{
    const MessageBoxLayout layout = layOutMessageBox({0, 0}, {18, 15});
    EXPECT_GE(layout.window.width, layout.button.width + 40) << "an empty text still leaves margins";
    EXPECT_EQ(layout.button.x * 2 + layout.button.width, layout.window.width);
    const Rect& button = layout.button;
    EXPECT_TRUE(button.contains(button.x, button.y));
    EXPECT_TRUE(button.contains(button.x + button.width - 1, button.y + button.height - 1));
    EXPECT_FALSE(button.contains(button.x - 1, button.y));
    EXPECT_FALSE(button.contains(button.x, button.y + button.height));

    // A label wider than the smallest button widens the button and the box.
    const MessageBoxLayout wide = layOutMessageBox({100, 20}, {400, 15});
    EXPECT_GT(wide.button.width, 400);
    EXPECT_GE(wide.window.width, wide.button.width + 40);
}

} // namespace
