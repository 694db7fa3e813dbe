// Anything that puts itself into the GL frame, under the matrices and state its
// owner has made current. Deleted through Actor or Light, never through this.
#pragma once

class CompositionalElement {
public:
    virtual void render() = 0;

protected:
    ~CompositionalElement() = default;
};
