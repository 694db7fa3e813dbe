// The exit card as the camera sees it, and what it leaves behind.
#include "scene/TextureNote.h"

#include "SceneView.h"
#include "platform/draw/Font.h"

#include <vector>

using namespace sceneview;

class TextureNoteView : public GLTest {};

TEST_F(TextureNoteView, ReadsLeftToRightAndUprightFromTheSceneCamera)
{
    TextureNote note;
    note.position = {-1.4f, -1.4f, 1.0f, 1.0f}; // where the scene puts it
    renderPlaced(note);
    const Picture frame = readFrame();
    const Box box = drawnBox(frame);
    ASSERT_GT(box.width(), 100);
    ASSERT_NEAR(box.width(), 2 * box.height(), 3);
    // Right of and below the centre of the view.
    EXPECT_GT(box.left, viewSize / 2);
    EXPECT_GT(box.top, viewSize / 2);

    const Picture painted = readBitmap(*note.texture.getBitmap(), 0, 64);
    const Picture seen = resample(frame, box, 128, 64);
    EXPECT_EQ(orientationOf(painted, seen, 255), Orientation::Upright);
    EXPECT_EQ(frame.at(box.left + 1, box.top + 1).distanceFromWhite(), 0);
}

TEST_F(TextureNoteView, TextureIsBlackTextOnWhiteStartingWithAWhiteTopLeft)
{
    TextureNote note;
    std::vector<unsigned char> texels(128 * 64 * 4);
    glBindTexture(GL_TEXTURE_2D, note.texture.textureName);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());

    // Texel row 0 is the bitmap's top row (t = 0), which the quad puts at the
    // corner the camera shows top left.
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[1], 255);
    EXPECT_EQ(texels[2], 255);
    EXPECT_EQ(texels[3], 255);

    int black = 0;
    bool grey = true;
    for (std::size_t i = 0; i < texels.size(); i += 4) {
        black += texels[i] < 64;
        grey = grey && texels[i] == texels[i + 1] && texels[i] == texels[i + 2] && texels[i + 3] == 255;
    }
    EXPECT_GT(black, 100);
    EXPECT_TRUE(grey);
}

TEST_F(TextureNoteView, KeepsNoFontAfterPainting)
{
    const int fontsBefore = platform::Font::liveCount();
    TextureNote note;
    EXPECT_EQ(platform::Font::liveCount(), fontsBefore);
}
