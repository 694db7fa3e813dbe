// A hidden window with a current OpenGL context, for tests and benchmarks
// that need real GL without the application frame. Compatibility profile,
// double-buffered, with a depth buffer. Works under Xvfb; with no DISPLAY it
// tries SDL's offscreen driver. Failure is reported, never fatal, so callers
// can skip with the reason.
#pragma once

#include <memory>
#include <string>

namespace platform {

class HeadlessGLContext {
public:
    explicit HeadlessGLContext(int width = 256, int height = 256);
    ~HeadlessGLContext();
    HeadlessGLContext(const HeadlessGLContext&) = delete;
    HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

    bool ok() const;
    // Why the context could not be made; empty when ok().
    const std::string& error() const;

    void makeCurrent();
    void swapBuffers();

private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace platform
