// The scene's projection and camera: a 25-degree square view from the eye at
// z = -10 looking along +z with +y up, so +x is on the viewer's left. The
// cubes rest at z = 50 and fly towards the eye.
#pragma once

// Loads the projection and the camera into GL's projection and model-view
// matrices, leaving the model-view matrix selected.
void placeCamera();
