// A controller that animates an actor frame by frame without owning it: the
// owner advances it by the frame time, then lets it write into the actor.
#pragma once

class Actor;

class ActorPlayback {
public:
    virtual ~ActorPlayback() = default;
    virtual bool update(double dt) = 0;
    virtual void applyTo(Actor* actor) = 0;
};
