#pragma once
// The 3D scene: a mirrored wireframe sphere behind a flat-shaded column and
// logo, in two phases timed by the music's syncs.
//
// Phase 1 ends at the fourth sync, phase 2 at the second (counted afresh);
// a key ends the running phase. A key pending on entry skips phase 1, and is
// read between the phases so that phase 2 still runs.
#include <memory>

#include "gfx2d/framebuffer.h"
#include "scenes/scene3d_motion.h"

namespace tolvarin {

class Mesh;

// Draws into meshQx, meshEsfera and meshColumna, which must be loaded, and
// leaves their poses, colours and culling set as the scene left them.
void Scene3D();

// What the scene sets up on entry and gives back when it ends: setUp3D (depth
// buffer and view volume), the face colours (sphere white, column grey, logo
// gold), lightDirection pointing at this object's light, back-face culling of
// the sphere and the column, and a black frame to draw into. The destructor
// sets lightDirection back to null and releases the frame.
class Scene3DSetup {
 public:
  Scene3DSetup();
  ~Scene3DSetup();
  Scene3DSetup(const Scene3DSetup&) = delete;
  Scene3DSetup& operator=(const Scene3DSetup&) = delete;

  Pixel* frame() { return frame_.get(); }

 private:
  double light_[3];
  FrameBuffer frame_;
};

// Halves the rotated position of every vertex: the logo is drawn at half the
// size it has in its file. Comes between Mesh::rotate and Mesh::setPosition.
void halveRotated(Mesh& mesh);

// Everything of one phase-1 frame up to presenting it: step the motion, turn
// and place the three meshes, clear the frame, draw the sphere into the
// upper-left quarter, mirror it, then the column and the logo, depth-tested
// against each other only, so they always cover the sphere.
void drawPhase1Frame(Scene3DMotion& m, Pixel* frame);

// Everything of one phase-2 frame up to presenting it, over what the frame
// already holds: step the motion, draw and mirror the sphere; then, while
// yLogo is below 60, the logo sinking and receding by 5 a frame (the column
// follows it but is not drawn), afterwards the whole frame 3 darker a byte.
void drawPhase2Frame(Scene3DMotion& m, Pixel* frame);

}  // namespace tolvarin
