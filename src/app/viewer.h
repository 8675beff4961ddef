// The model viewer: one mesh file, or one unit kind put together by its own
// pose and draw, under the game's fixed light, for checking a model from
// every side before the screens that show it exist.
#pragma once

#include <string>

// How a kind is shown: from where (empty: turning; front, rear, side,
// above or chase) and in what pose.
struct ViewerPose {
    std::string from;
    float turret = 0;  // degrees: a tank's turret yaw, a robot's torso yaw
    float gun = 0;     // degrees: a tank's gun pitch, a robot's arm pitch
    float walk = 0;    // degrees: a robot's leg swing
    bool pods = false; // a robot's pods out
    bool frozen = false;  // frozen by the ice, drawn with the battle's ice look
};

// Whether `name` is one of the viewer's direction words.
bool IsViewerDirection(const std::string& name);

// Loads the model (a .x file, or a kind by its name or number) and prints
// its subsets, face counts of both detail copies and its box, for a kind
// every part's.  False when it does not load.
bool StartViewer(const std::string& path, float distance, const std::string& outBmp, bool unlit,
                 const ViewerPose& pose);
// The viewer's scene routine.
void ViewerScene();
void StopViewer();
