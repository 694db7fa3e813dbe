// How an owner puts an actor into the frame: centred on its position and
// turned about its own centre, x then y then z.
#pragma once

#include "scene/Actor.h"

#include <GL/gl.h>

inline void renderPlaced(Actor& actor)
{
    glPushMatrix();
    glTranslatef(actor.position.x, actor.position.y, actor.position.z);
    glRotatef(actor.rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(actor.rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(actor.rotation.z, 0.0f, 0.0f, 1.0f);
    glTranslatef(-0.5f, -0.5f, -0.5f);
    actor.render();
    glPopMatrix();
}
