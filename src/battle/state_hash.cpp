#include "battle/state_hash.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/crt_rand.h"
#include "records/state.h"

namespace {
uint64_t gLastHash = 0;
std::FILE* gLog = nullptr;

// A word-at-a-time multiply-and-rotate hash: cheap, and any change of any
// byte changes the result.
struct Hasher {
    uint64_t h = 0x243F6A8885A308D3ull;
    void Word(uint64_t w)
    {
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        h = (h << 29) | (h >> 35);
    }
    void Bytes(const void* data, size_t n)
    {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (; n >= 8; n -= 8, p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            Word(w);
        }
        uint64_t tail = n;  // the length of a short tail counts as well
        for (size_t k = 0; k < n; ++k) tail = tail << 8 | p[k];
        Word(tail);
    }
    // The bytes of `record` from field offset `from` up to `to`.
    template <typename T>
    void Span(const T& record, size_t from, size_t to)
    {
        Bytes(reinterpret_cast<const unsigned char*>(&record) + from, to - from);
    }
    // A shot's slot: free slots count by their state alone, since what a
    // free slot last held never matters again.
    void Shots(const Projectile* shots, int count)
    {
        for (int k = 0; k < count; ++k) {
            const Projectile& s = shots[k];
            if (s.state == kShotFree) Word(k);
            else Bytes(&s, sizeof s);
        }
    }
};

// Every field of a unit from `alive` on, but for its distance from the
// camera: the fields are all four-byte values and matrices, so the spans
// hold no padding.
void HashTank(Hasher& h, const TankUnit& t)
{
    static_assert(offsetof(TankUnit, alive) % 4 == 0 && offsetof(TankUnit, shells) % 4 == 0);
    h.Word(static_cast<uint64_t>(t.kind));
    h.Span(t, offsetof(TankUnit, alive), offsetof(TankUnit, cameraDistance));
    h.Span(t, offsetof(TankUnit, cameraDistance) + sizeof t.cameraDistance, offsetof(TankUnit, shells));
    h.Shots(t.shells, kTankShellSlots);
    h.Shots(t.bullets, kTankBulletSlots);
}

void HashRobot(Hasher& h, const RobotUnit& r)
{
    h.Word(static_cast<uint64_t>(r.kind));
    h.Span(r, offsetof(RobotUnit, partWorld), offsetof(RobotUnit, cameraDistance));
    h.Span(r, offsetof(RobotUnit, cameraDistance) + sizeof r.cameraDistance, offsetof(RobotUnit, shells));
    h.Shots(r.shells, kRobotShellSlots);
    h.Shots(r.missiles, kRobotBulletSlots);
}
}  // namespace

uint64_t BattleStateHash()
{
    Hasher h;
    const int32_t head[] = {PlayerSide, EarthCount, MercuryCount, BattleClock, paused, battleResult};
    h.Bytes(head, sizeof head);
    h.Word(RandState());
    const int earth = EarthCount < 0 ? 0 : EarthCount > kMaxUnits ? kMaxUnits : EarthCount;
    const int mercury = MercuryCount < 0 ? 0 : MercuryCount > kMaxUnits ? kMaxUnits : MercuryCount;
    for (int i = 0; i < earth; ++i) {
        HashTank(h, Tanks[i]);
        h.Bytes(&TankControls[i], sizeof TankControls[i]);
        h.Bytes(&TankAi[i], sizeof TankAi[i]);
        h.Bytes(&TankHandling[i], sizeof TankHandling[i]);
    }
    for (int i = 0; i < mercury; ++i) {
        HashRobot(h, Robots[i]);
        h.Bytes(&RobotControls[i], sizeof RobotControls[i]);
        h.Bytes(&RobotAi[i], sizeof RobotAi[i]);
        h.Bytes(&RobotHandling[i], sizeof RobotHandling[i]);
    }
    return h.h;
}

void NoteBattleStep(uint32_t step)
{
    gLastHash = BattleStateHash();
    if (gLog) std::fprintf(gLog, "%u %016llx\n", step, static_cast<unsigned long long>(gLastHash));
}

uint64_t LastStateHash() { return gLastHash; }

std::string StateHashText(uint64_t hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool OpenStateHashLog(const std::string& path, std::string* error)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        *error = std::strerror(errno);
        return false;
    }
    if (gLog) std::fclose(gLog);
    gLog = f;
    return true;
}

bool CloseStateHashLog(std::string* error)
{
    if (!gLog) return true;
    bool ok = !std::ferror(gLog);
    ok = std::fclose(gLog) == 0 && ok;
    gLog = nullptr;
    if (!ok) *error = std::strerror(errno ? errno : EIO);
    return ok;
}
