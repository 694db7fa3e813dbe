// Ties a recording that grows on disk to the wall clock, for the sound
// benchmarks' latency figures:
//
//   record_clock FILE [RATE]
//
// FILE is a 16-bit stereo WAV file a recorder is writing at RATE (48000)
// frames a second. Until it is sent SIGINT or SIGTERM, the program reads the
// file's size every millisecond; then it prints
//
//   start SECONDS
//
// the CLOCK_REALTIME time at which the recording's first frame had reached the
// recorder at the latest: the earliest of (time read - frames present / RATE)
// over every reading, each of which can only be late by what the recorder
// still held back.
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

volatile std::sig_atomic_t stopping = 0;

void stop(int)
{
    stopping = 1;
}

double realtime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Where the samples begin: just after the data chunk's header; 0 until the
// header is on disk.
long dataOffset(const char* file)
{
    std::ifstream stream(file, std::ios::binary);
    std::string head(4096, '\0');
    stream.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(stream.gcount()));
    const std::size_t at = head.find("data", 12);
    return at == std::string::npos || at + 8 > head.size() ? 0 : static_cast<long>(at + 8);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: record_clock FILE [RATE]\n");
        return 2;
    }
    const double rate = argc > 2 ? std::atof(argv[2]) : 48000.0;
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    long offset = 0;
    double start = 1e300;
    long readings = 0;
    while (!stopping) {
        const double now = realtime();
        struct stat status {};
        if (stat(argv[1], &status) == 0) {
            if (offset == 0)
                offset = dataOffset(argv[1]);
            if (offset > 0 && status.st_size > offset) {
                // Whole frames of two 16-bit samples.
                const auto wholeFrames = (status.st_size - offset) / 4;
                const double frames = static_cast<double>(wholeFrames);
                if (now - frames / rate < start)
                    start = now - frames / rate;
                ++readings;
            }
        }
        const timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    if (readings == 0) {
        std::fprintf(stderr, "record_clock: %s never held samples\n", argv[1]);
        return 1;
    }
    std::printf("start %.6f\nreadings %ld\n", start, readings);
    return 0;
}
