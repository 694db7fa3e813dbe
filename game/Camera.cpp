#include "game/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

void placeCamera()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(25.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, -10.0, 0.0, 0.0, 100.0, 0.0, 1.0, 0.0);
}
