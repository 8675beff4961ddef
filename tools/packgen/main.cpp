// Builds the game's data pack: every picture, mesh and sound the game reads,
// made by code, the same bytes on every run.
//   varnok_packgen OUTPUT_DIR FONT.ttf
#include <algorithm>
#include <cstring>
#include <vector>
#include <sys/stat.h>

#include <cstdio>

#include "pack.h"

std::string Pack::Prepare(const std::string& rel)
{
    // Every folder on the way, the output folder itself included.
    std::string path = root_ + "/" + rel;
    for (size_t at = 1; (at = path.find('/', at)) != std::string::npos; ++at) mkdir(path.substr(0, at).c_str(), 0755);
    return path;
}

void Pack::Bmp(const std::string& rel, const Canvas& c)
{
    if (!c.SaveBmp(Prepare(rel))) ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

void Pack::Png(const std::string& rel, const Canvas& c)
{
    if (!c.SavePng(Prepare(rel))) ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

void Pack::Jpg(const std::string& rel, const Canvas& c, int quality)
{
    if (!WriteJpg(Prepare(rel), c, quality))
        ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

void Pack::KeyedBmp(const std::string& rel, const Canvas& c, uint32_t keyRgb)
{
    if (!c.SaveKeyedBmp(Prepare(rel), keyRgb))
        ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

void Pack::X(const std::string& rel, const XMesh& m)
{
    if (!WriteXFile(Prepare(rel), m)) ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

void Pack::Wav(const std::string& rel, const std::vector<float>& samples, uint32_t rate)
{
    if (!WriteWav(Prepare(rel), samples, rate)) ok_ = (std::fprintf(stderr, "packgen: %s cannot be written\n", rel.c_str()), false);
}

namespace {
struct NamedBuilder {
    const char* name;
    KindBuilder build;
};
std::vector<NamedBuilder>& KindBuilders()
{
    static std::vector<NamedBuilder> builders;
    return builders;
}
}  // namespace

bool RegisterKindBuilder(const char* name, KindBuilder build)
{
    KindBuilders().push_back({name, build});
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: varnok_packgen OUTPUT_DIR FONT.ttf\n");
        return 2;
    }
    if (!LoadPackFont(argv[2])) {
        std::fprintf(stderr, "packgen: %s: not a TrueType font\n", argv[2]);
        return 1;
    }
    Pack pack(argv[1]);
    BuildWorld(pack);
    BuildSkies(pack);
    BuildStars(pack);
    BuildEffects(pack);
    BuildSounds(pack);
    BuildHud(pack);
    BuildTitle(pack);
    std::vector<NamedBuilder> kinds = KindBuilders();
    std::sort(kinds.begin(), kinds.end(),
              [](const NamedBuilder& a, const NamedBuilder& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const NamedBuilder& k : kinds) k.build(pack);
    return pack.Ok() ? 0 : 1;
}
