// The lettered cube as the camera sees it (each face's colour and which way its
// character is turned), and the font the cubes share.
#include "scene/Cubbit.h"

#include "SceneView.h"
#include "platform/draw/Font.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace sceneview;

namespace {

// The ink colours a seed gives the six cells: three draws per cell, blue, green
// then red, each the low 8 bits.
std::array<Rgb, 6> cellColours(unsigned seed)
{
    std::srand(seed);
    std::array<Rgb, 6> colours;
    for (Rgb& colour : colours) {
        colour.b = std::rand() & 0xFF;
        colour.g = std::rand() & 0xFF;
        colour.r = std::rand() & 0xFF;
    }
    return colours;
}

// A seed whose six colours all stand well apart from the white background.
unsigned vividSeed()
{
    for (unsigned seed = 1;; ++seed) {
        const auto colours = cellColours(seed);
        if (std::all_of(colours.begin(), colours.end(), [](Rgb c) { return c.distanceFromWhite() > 200; }))
            return seed;
    }
}

struct FaceView {
    int face;         // 1 to 6, as the cube's face table numbers them
    Vector4 rotation; // turns that face toward the camera
    Orientation expected;
};

// Seen from the camera (screen right is world -x), the character's top lies
// toward +y on faces 2, 5 and 6, toward -y on face 4 and, once turned to the
// camera, downward on faces 1 and 3; its left-to-right direction runs along +x
// on faces 1 to 4 and along +z on faces 5 and 6.
const FaceView faceViews[] = {
    {1, {-90.0f, 0.0f, 0.0f, 1.0f}, Orientation::Turned},
    {2, {0.0f, 180.0f, 0.0f, 1.0f}, Orientation::Upright},
    {3, {90.0f, 0.0f, 0.0f, 1.0f}, Orientation::Turned},
    {4, {0.0f, 0.0f, 0.0f, 1.0f}, Orientation::Turned},
    {5, {0.0f, -90.0f, 0.0f, 1.0f}, Orientation::Upright},
    {6, {0.0f, 90.0f, 0.0f, 1.0f}, Orientation::MirroredLeftRight},
};

} // namespace

class CubbitView : public GLTest {};

TEST_F(CubbitView, EachFaceShowsItsCellInItsColourTurnedAsTheFaceTableLaysItOut)
{
    const unsigned seed = vividSeed();
    const auto colours = cellColours(seed);
    std::srand(seed);
    Cubbit block(0x46, u"F");
    EXPECT_EQ(block.keyCode, 0x46);
    // On the line of sight, only the face turned to the camera can be seen.
    block.position = {0.0f, 0.0f, -4.0f, 1.0f};

    for (const FaceView& view : faceViews) {
        SCOPED_TRACE(testing::Message() << "face " << view.face);
        const int cell = view.face - 1;
        const Rgb ink = colours[static_cast<std::size_t>(cell)];

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        block.rotation = view.rotation;
        renderPlaced(block);
        const Picture frame = readFrame();
        const Box box = drawnBox(frame);
        ASSERT_GT(box.width(), 200);
        ASSERT_NEAR(box.width(), box.height(), 2);

        // The character is in the cell's colour: the pixel farthest from white
        // is the ink itself, and whole strokes of it are there.
        Rgb darkest{255, 255, 255};
        int inkPixels = 0;
        for (int y = box.top + 2; y < box.bottom - 2; ++y)
            for (int x = box.left + 2; x < box.right - 2; ++x) {
                const Rgb c = frame.at(x, y);
                if (c.distanceFromWhite() > darkest.distanceFromWhite())
                    darkest = c;
                inkPixels += std::abs(c.r - ink.r) <= 4 && std::abs(c.g - ink.g) <= 4 && std::abs(c.b - ink.b) <= 4;
            }
        EXPECT_NEAR(darkest.r, ink.r, 4);
        EXPECT_NEAR(darkest.g, ink.g, 4);
        EXPECT_NEAR(darkest.b, ink.b, 4);
        EXPECT_GT(inkPixels, 500);
        // The face's corner is the cell's white background.
        EXPECT_EQ(frame.at(box.left + 3, box.top + 3).distanceFromWhite(), 0);

        const Picture painted = readBitmap(*block.texture.getBitmap(), 128 * cell, 128);
        const Picture seen = resample(frame, box, 128, 128);
        EXPECT_EQ(orientationOf(painted, seen, ink.distanceFromWhite() / 2), view.expected);
    }
}

TEST_F(CubbitView, EveryCellIsPaintedOnWhiteInItsOwnColour)
{
    const unsigned seed = vividSeed();
    const auto colours = cellColours(seed);
    std::srand(seed);
    Cubbit block(0xBE, u".");

    for (int cell = 0; cell < 6; ++cell) {
        const Picture painted = readBitmap(*block.texture.getBitmap(), 128 * cell, 128);
        ASSERT_EQ(painted.pixels.size(), 128u * 128u);
        const Rgb ink = colours[static_cast<std::size_t>(cell)];
        int inkPixels = 0;
        for (const Rgb& c : painted.pixels)
            inkPixels += c.r == ink.r && c.g == ink.g && c.b == ink.b;
        EXPECT_GT(inkPixels, 20) << "cell " << cell;
        EXPECT_EQ(painted.at(0, 0).distanceFromWhite(), 0) << "cell " << cell;
        EXPECT_EQ(painted.at(127, 127).distanceFromWhite(), 0) << "cell " << cell;
    }
    // Eighteen draws per block, no more.
    const int next = std::rand();
    std::srand(seed);
    for (int i = 0; i < 18; ++i)
        std::rand();
    EXPECT_EQ(std::rand(), next);
}

TEST_F(CubbitView, FontIsSharedFromTheFirstBlockToTheLast)
{
    ASSERT_EQ(Cubbit::instanceCount, 0);
    const int fontsBefore = platform::Font::liveCount();

    std::vector<std::unique_ptr<Cubbit>> blocks;
    blocks.push_back(std::make_unique<Cubbit>(0x41, u"A"));
    EXPECT_EQ(Cubbit::instanceCount, 1);
    platform::Font* const font = Cubbit::sharedFont;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore + 1);

    for (int i = 1; i < 40; ++i)
        blocks.push_back(std::make_unique<Cubbit>(0x41 + i, u"B"));
    EXPECT_EQ(Cubbit::instanceCount, 40);
    EXPECT_EQ(Cubbit::sharedFont, font);
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore + 1);

    blocks.erase(blocks.begin(), blocks.begin() + 39);
    EXPECT_EQ(Cubbit::instanceCount, 1);
    EXPECT_EQ(Cubbit::sharedFont, font);
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore + 1);

    blocks.clear();
    EXPECT_EQ(Cubbit::instanceCount, 0);
    EXPECT_EQ(Cubbit::sharedFont, nullptr);
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore);

    {
        Cubbit later(0x5A, u"Z");
        EXPECT_EQ(Cubbit::instanceCount, 1);
        ASSERT_NE(Cubbit::sharedFont, nullptr);
        EXPECT_TRUE(Cubbit::sharedFont->isAvailable());
        EXPECT_EQ(platform::Font::liveCount(), fontsBefore + 1);
    }
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore);
}
