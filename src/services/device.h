// The graphics device and the render resources every screen shares: the
// back-buffer and depth surfaces, two fonts, the sprite batcher, the fixed
// render states with the one directional light, and the shadow-map
// resources.  Also how a frame ends and how new display settings apply.
#pragma once

#include <string>
#include <vector>

#include "services/state.h"

#include "math/vecmath.h"
#include "platform/gfx.h"


// Returns 1 when the device exists, 0 (after the message) when it cannot.
int CreateDevice3D(bool headless);
void SetFixedRenderStates();
void CreateFonts();
void CreateSpriteBatcher();
void CreateShadowResources(int size);
// An effect file that failed to load: its errors on stderr and a message box
// that names the file and what is wrong with it.
void TellEffectFailed(const char* path, const std::string& errors);
// The shadow effect's lighting for a frame: the direction towards the light,
// the eye and the size of the shadow texture.
void SetShadowLighting(Vec3 toLight, Vec3 eye, float texWidth, float texHeight);
// The depth pass's targets, the shadow texture and its depth surface; false
// (nothing changed) without the shadow resources.
bool TargetShadowMap();
// Back to the back buffer over the whole screen, the scene technique reading
// the shadow texture.  Nothing without the shadow effect.
void TargetSceneWithShadows();
void ReleaseShadowResources();
void ReleaseFontsAndSprite();
void ReleaseDevice3D();
// Applies PresentParams and shadowMapSize while the game runs.  False when
// the device refused the mode or the shadow map of that size could not be
// made: what runs is then whatever the device kept, and the caller puts its
// settings back and applies again.
bool ApplyDisplaySettings();
// A line told in red at the foot of every screen for three seconds (and in
// the test hooks' text, as every text is).
void TellAtFoot(const std::string& text);
// End of every drawing frame: the foot's notice, end the scene,
// present, reset after a failure.
void EndFrame();
// 'T' saves the back buffer as the next free "photo%d.bmp", once per press.
// One that cannot be saved is told for three seconds over every screen.
void ScreenshotCheck();
// Where T puts its shots, in the order they are tried ("" is the data
// folder): a shot that cannot be saved in the first goes to the next, and
// the foot of the screen says where it went.
std::vector<std::string> ScreenshotFolders();
