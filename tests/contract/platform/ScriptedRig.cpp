// The platform contract on the scripted platform the frame's tests run on:
// the rig plays the desktop, sending what creation and showing send on a real
// one, and keys and closes as posted messages. It has no screen, no GL and no
// sound of its own; those cases say so and skip.
#include "tests/contract/platform/PlatformContract.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

namespace contract {
namespace {

using platform::WindowHandle;

class ScriptedRig : public PlatformRig {
public:
    platform::Platform& platform() override { return scripted; }
    std::string noScreen() const override { return "the scripted platform has no screen"; }
    std::string noGL() const override { return "the scripted platform makes no GL context"; }

    void aboutToCreate(const platform::WindowRequest& request) override
    {
        const auto width = static_cast<unsigned>(request.client.right - request.client.left);
        const auto height = static_cast<unsigned>(request.client.bottom - request.client.top);
        scripted.onCreate = {{0, platform::WM_CREATE, 0, 0},
                             {0, platform::WM_SIZE, platform::SIZE_RESTORED, platform::makeLParam(width, height)}};
        scripted.onShow = {{0, platform::WM_ACTIVATE, platform::makeWParam(platform::WA_ACTIVE, 0), 0}};
    }

    std::optional<std::string> title(WindowHandle) override { return std::string(scripted.lastRequest.title); }
    std::optional<bool> fullScreen(WindowHandle) override { return scripted.lastRequest.fullScreen; }

    std::string pressKey(WindowHandle, int virtualKey) override
    {
        scripted.postKey(virtualKey);
        return {};
    }
    std::string closeFromOutside(WindowHandle) override
    {
        scripted.post(platform::WM_CLOSE);
        return {};
    }
    std::optional<std::uint32_t> screenPixel(WindowHandle, int, int) override { return std::nullopt; }

private:
    testing_support::ScriptedPlatform scripted;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Scripted, PlatformContract,
                         ::testing::Values(RigMaker{"Scripted", [] { return std::make_unique<ScriptedRig>(); }}),
                         rigName);

} // namespace contract
