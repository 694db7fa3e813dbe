// Choosing SDL's video driver: Wayland where the compositor can carry the toy,
// its X server where not, and one clear line where neither is there.
#include "platform/sdl/VideoDriver.h"
#include "tests/platform/sdl/sdl_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

int probes = 0;
WaylandOffer offered;

WaylandOffer countedProbe()
{
    ++probes;
    return offered;
}

WaylandOffer fullOffer()
{
    WaylandOffer offer;
    offer.reached = offer.compositor = offer.sharedMemory = offer.shell = offer.seat = offer.shortcutsInhibitor = true;
    return offer;
}

VideoDriverChoice choose(const std::string& named, bool x11, const std::string& wayland, const WaylandOffer& offer)
{
    probes = 0;
    offered = offer;
    return chooseVideoDriver({named, x11, wayland}, countedProbe);
}

} // namespace

TEST(VideoDriver, AWaylandSessionGoesThroughWaylandEvenWithAnXServerBesideIt)
{
    for (const bool x11 : {false, true}) {
        const VideoDriverChoice choice = choose("", x11, "wayland-0", fullOffer());
        EXPECT_EQ("wayland", choice.driver);
        EXPECT_EQ("", choice.error);
        EXPECT_EQ("", choice.note);
        EXPECT_EQ(1, probes);
    }
    // Without the shortcuts inhibitor nothing keeps the keys, through X either.
    WaylandOffer noInhibitor = fullOffer();
    noInhibitor.shortcutsInhibitor = false;
    EXPECT_EQ("wayland", choose("", true, "wayland-0", noInhibitor).driver);
}

TEST(VideoDriver, ACompositorSdlCannotUseFallsBackToItsXServerOrEndsInOneLine)
{
    WaylandOffer noSeat = fullOffer();
    noSeat.seat = false;
    WaylandOffer old = fullOffer();
    old.shell = false;
    WaylandOffer noCompositor = fullOffer();
    noCompositor.compositor = false;
    const struct {
        WaylandOffer offer;
        const char* why;
    } cases[] = {{noSeat, "no input seat"}, {old, "too old"}, {noCompositor, "too old"}, {WaylandOffer{}, "reached"}};
    for (const auto& c : cases) {
        VideoDriverChoice choice = choose("", true, "wayland-1", c.offer);
        EXPECT_EQ("x11", choice.driver) << c.why;
        EXPECT_EQ("", choice.error);
        EXPECT_NE(std::string::npos, choice.note.find(c.why)) << choice.note;
        EXPECT_NE(std::string::npos, choice.note.find("\"wayland-1\"")) << choice.note;

        choice = choose("", false, "wayland-1", c.offer);
        EXPECT_EQ("", choice.driver);
        EXPECT_NE(std::string::npos, choice.error.find(c.why)) << choice.error;
        EXPECT_EQ(std::string::npos, choice.error.find('\n'));
    }
}

TEST(VideoDriver, ANamedDriverIsSdlsToStartUnlessItIsAWaylandDriverThatWouldCrash)
{
    VideoDriverChoice choice = choose("x11", true, "wayland-0", fullOffer());
    EXPECT_EQ("", choice.driver);
    EXPECT_EQ("", choice.error);
    EXPECT_EQ(0, probes);

    EXPECT_EQ("", choose("offscreen", false, "", WaylandOffer{}).error);

    WaylandOffer noSeat = fullOffer();
    noSeat.seat = false;
    choice = choose("Wayland", true, "wayland-0", noSeat);
    EXPECT_EQ("", choice.driver);
    EXPECT_NE(std::string::npos, choice.error.find("no input seat")) << choice.error;

    choice = choose("wayland", false, "wayland-0", fullOffer());
    EXPECT_EQ("", choice.driver);
    EXPECT_EQ("", choice.error);
}

TEST(VideoDriver, WithoutAWaylandCompositorXIsTheOnlyWay)
{
    VideoDriverChoice choice = choose("", true, "", fullOffer());
    EXPECT_EQ("x11", choice.driver);
    EXPECT_EQ(0, probes);

    choice = choose("", false, "", fullOffer());
    EXPECT_EQ("", choice.driver);
    EXPECT_FALSE(choice.error.empty());
    EXPECT_EQ(0, probes);
}

TEST(VideoDriver, AProbeOfACompositorThatIsNotThereFindsNothing)
{
    sdl_test::EnvironmentOverride runtime("XDG_RUNTIME_DIR", "/nonexistent");
    sdl_test::EnvironmentOverride wayland("WAYLAND_DISPLAY", "zindle-no-such-compositor");
    const WaylandOffer offer = probeWayland();
    EXPECT_FALSE(offer.reached);
    EXPECT_FALSE(offer.seat);
}
