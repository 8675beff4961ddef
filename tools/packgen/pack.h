// The data-pack generator's shared pieces: where files go, and one builder
// per part of the world.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "writers.h"

// A rectangle of a picture, in pixels.
struct Box {
    float l, t, r, b;
    float W() const { return r - l; }
    float H() const { return b - t; }
    float Cx() const { return (l + r) / 2; }
    float Cy() const { return (t + b) / 2; }
};

class Pack {
public:
    explicit Pack(std::string root) : root_(std::move(root)) {}
    void Bmp(const std::string& rel, const Canvas& c);
    void Png(const std::string& rel, const Canvas& c);
    void Jpg(const std::string& rel, const Canvas& c, int quality = 92);
    void KeyedBmp(const std::string& rel, const Canvas& c, uint32_t keyRgb);
    void X(const std::string& rel, const XMesh& m);
    void Wav(const std::string& rel, const std::vector<float>& samples, uint32_t rate);
    bool Ok() const { return ok_; }

private:
    std::string Prepare(const std::string& rel);
    std::string root_;
    bool ok_ = true;
};

void BuildWorld(Pack& pack);
void BuildSkies(Pack& pack);
void BuildStars(Pack& pack);
void BuildEffects(Pack& pack);
void BuildSounds(Pack& pack);
void BuildHud(Pack& pack);
// The title's pictures, and the desktop icon at each of kIconSizes under
// "Icon/hicolor/NxN/apps/varnok.png", the icon theme's own layout.
void BuildTitle(Pack& pack);
constexpr int kIconSizeCount = 7;
extern const int kIconSizes[kIconSizeCount];
// Each unit kind's models come from a file of their own, which enters its
// builder here at start-up:
//   const bool kRegistered = RegisterKindBuilder("ABRAMS", BuildAbrams);
// The pack runs them after the world's, in the order of their names.
using KindBuilder = void (*)(Pack& pack);
bool RegisterKindBuilder(const char* name, KindBuilder build);
