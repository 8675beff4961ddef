// The model viewer: one mesh file turning under the game's fixed light, for
// checking a model before the screens that show it exist.
#pragma once

#include <string>

// Loads the model and prints its subsets, face counts of both detail copies
// and its box.  False when the file does not load.
bool StartViewer(const std::string& path, float distance, const std::string& outBmp, bool unlit);
// The viewer's scene routine.
void ViewerScene();
void StopViewer();
