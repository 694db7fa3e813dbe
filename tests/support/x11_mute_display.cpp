// A stand-in X display that accepts connections and never answers, for tests
// of what a program does while it waits for one. Listens on a free port of
// the loopback address; prints the DISPLAY name that reaches it, then one
// line "connected" for each connection, and runs until it is killed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

int main()
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("x11_mute_display");
        return 1;
    }
    // X displays over TCP are ports from 6000 on; free ports lie far above.
    std::printf("127.0.0.1:%d\n", ntohs(address.sin_port) - 6000);
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
