// The typing toy: forty lettered cubes in five rows of eight, each thrown toward
// the child by its key; the space bar throws them all, and a key without a cube
// throws the "," or the "?" cube. A card says how to leave for the first ten
// seconds, and a splash picture shows while the cubes are being painted.
#pragma once

#include "app/GLApplication.h"
#include "game/FixedStep.h"
#include "game/InBetween.h"
#include "motion/Ballistic.h"
#include "platform/draw/Bitmap.h"
#include "scene/Cubbit.h"
#include "scene/DirectionalLight.h"
#include "scene/TextureNote.h"
#include "sound/SoundBoard.h"

#include <array>
#include <cstdint>
#include <memory>

class Zindle : public GLApplication {
public:
    static constexpr int blockCount = 40;

    explicit Zindle(platform::Platform& instance);
    ~Zindle() override;

    void drawFrame(double totalSeconds, double frameSeconds) override;
    void keyDown(int virtualKey) override;
    void createScene() override;
    void destroyScene() override;
    void showSplash(platform::WindowHandle window) override;

    std::array<Ballistic, blockCount> motions;
    std::array<std::unique_ptr<Cubbit>, blockCount> blocks;
    std::unique_ptr<TextureNote> exitNote;
    std::unique_ptr<DirectionalLight> light;
    std::unique_ptr<platform::Bitmap> splashImage;

    // Frame time not yet turned into motion steps.
    FixedStep motionSteps;
    // What each motion's last step moved through, drawn part-way by the
    // pending fraction of the next step.
    std::array<InBetween, blockCount> drawn;

    // What each block carries, by index: its character and the key that throws it.
    static const std::array<const char16_t*, blockCount> characters;
    static const std::array<std::int32_t, blockCount> keyCodes;

    // Where the landings and names go, set by the entry point before run();
    // none: the toy is silent.
    sound::SoundBoard* sound = nullptr;

private:
    void launch(int index);
    double landingSecondsAgo(int steps, int step, double within) const;
};
