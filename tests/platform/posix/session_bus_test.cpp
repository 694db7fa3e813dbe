// Which session bus the toy's process is left to use: the one the session
// names or keeps at $XDG_RUNTIME_DIR/bus, never one started on demand; where
// there is none, an address that starts nothing.
#include "platform/posix/SessionBus.h"
#include "tests/support/fixtures/EnvironmentOverride.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace platform;
using testing_support::EnvironmentOverride;

namespace {

std::string address()
{
    const char* value = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return value != nullptr ? value : "<unset>";
}

// A folder with a socket named "bus" in it, as a session's runtime folder has.
class RuntimeFolder {
public:
    RuntimeFolder() : path(std::filesystem::temp_directory_path() / ("zindle-bus-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path);
        listener = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        const std::string socketPath = (path / "bus").string();
        socketPath.copy(name.sun_path, sizeof name.sun_path - 1);
        EXPECT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&name), sizeof name));
    }
    ~RuntimeFolder()
    {
        close(listener);
        std::filesystem::remove_all(path);
    }

    std::filesystem::path path;

private:
    int listener = -1;
};

} // namespace

TEST(SessionBus, AutolaunchEntriesAreDroppedFromAnAddressList)
{
    EXPECT_EQ("", withoutAutolaunch(""));
    EXPECT_EQ("", withoutAutolaunch("autolaunch:"));
    EXPECT_EQ("unix:path=/run/bus", withoutAutolaunch("unix:path=/run/bus;autolaunch:"));
    EXPECT_EQ("unix:path=/b", withoutAutolaunch("autolaunch:scope=*user;unix:path=/b"));
    EXPECT_EQ("unix:abstract=/x;tcp:host=localhost,port=1",
              withoutAutolaunch("unix:abstract=/x;;tcp:host=localhost,port=1"));
}

TEST(SessionBus, ANamedBusStaysAndNoBusBecomesOneThatStartsNothing)
{
    EnvironmentOverride runtime("XDG_RUNTIME_DIR", "/nonexistent");
    {
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus");
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("unix:path=/run/user/1000/bus", address());
    }
    {
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", nullptr);
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("unix:path=/dev/null/no-session-bus", address());
    }
    {
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", "autolaunch:");
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("unix:path=/dev/null/no-session-bus", address());
    }
    {
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", "unix:path=/a;autolaunch:");
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("unix:path=/a", address());
    }
}

TEST(SessionBus, TheRuntimeFoldersBusIsUsedInsteadOfOneStartedOnDemand)
{
    RuntimeFolder folder;
    EnvironmentOverride runtime("XDG_RUNTIME_DIR", folder.path.c_str());
    {
        // libdbus finds it by itself.
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", nullptr);
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("<unset>", address());
    }
    {
        EnvironmentOverride named("DBUS_SESSION_BUS_ADDRESS", "autolaunch:");
        keepSessionBusFromAutolaunching();
        EXPECT_EQ("unix:path=" + (folder.path / "bus").string(), address());
    }
}
