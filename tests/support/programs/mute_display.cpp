// A stand-in display server that accepts connections and never answers, for
// tests of what a program does while it waits for one. Without arguments it
// listens on a free port of the loopback address and prints the X DISPLAY
// name that reaches it; with a path it listens on a Unix socket there (for
// WAYLAND_DISPLAY) and prints the path. Then it prints one line "connected"
// for each connection, and runs until it is killed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The listening socket, and the name that reaches it; -1 on failure.
int listenOnLoopback(std::string& name)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    // X displays over TCP are ports from 6000 on; free ports lie far above.
    name = "127.0.0.1:" + std::to_string(ntohs(address.sin_port) - 6000);
    return listener;
}

int listenAt(const char* path, std::string& name)
{
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (listener < 0 || std::strlen(path) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path, std::strlen(path) + 1);
    unlink(path);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0)
        return -1;
    name = path;
    return listener;
}

} // namespace

int main(int argc, char** argv)
{
    std::string name;
    const int listener = argc > 1 ? listenAt(argv[1], name) : listenOnLoopback(name);
    if (listener < 0) {
        std::perror("mute_display");
        return 1;
    }
    std::printf("%s\n", name.c_str());
    std::fflush(stdout);
    std::vector<int> held;
    for (;;) {
        const int connection = accept(listener, nullptr, nullptr);
        if (connection < 0)
            continue;
        held.push_back(connection);
        std::puts("connected");
        std::fflush(stdout);
    }
}
