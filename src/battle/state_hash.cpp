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

// A multiply-and-rotate hash, four words at a time in four lanes so the
// multiplications overlap: cheap, and a change of any byte changes it.
struct Hasher {
    uint64_t lane[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                        0x082EFA98EC4E6C89ull};
    static uint64_t Mix(uint64_t h, uint64_t w)
    {
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        return (h << 29) | (h >> 35);
    }
    void Word(uint64_t w) { lane[0] = Mix(lane[0], w); }
    void Bytes(const void* data, size_t n)
    {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        uint64_t w[4];
        for (; n >= 32; n -= 32, p += 32) {
            std::memcpy(w, p, 32);
            for (int k = 0; k < 4; ++k) lane[k] = Mix(lane[k], w[k]);
        }
        for (; n >= 8; n -= 8, p += 8) {
            std::memcpy(w, p, 8);
            Word(w[0]);
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
    // A table of shots: which slots are taken, then of each taken one its
    // heading and position (the last two rows of its matrix), its state and
    // its kind's own values.  Its step and the rest of its turn show in its
    // position a step later, so they are left out: a busy battle has a
    // couple of hundred shots in flight in its thousands of slots.  What a
    // free slot last held never matters again.
    void Shots(const Projectile* shots, int count)
    {
        static_assert(sizeof(Mat4) == 64 && offsetof(Projectile, state) + 12 == sizeof(Projectile));
        for (int first = 0; first < count; first += 64) {
            uint64_t taken = 0;
            const int end = count < first + 64 ? count : first + 64;
            for (int k = first; k < end; ++k) {
                taken |= static_cast<uint64_t>(shots[k].state != kShotFree) << (k - first);
            }
            Word(taken);
            for (int k = first; taken != 0; ++k, taken >>= 1) {
                if (!(taken & 1)) continue;
                const Projectile& s = shots[k];
                float rows[8];
                std::memcpy(rows, s.world.m[2], sizeof rows);
                Bytes(rows, sizeof rows);
                Bytes(&s.state, 12);
            }
        }
    }
    uint64_t Result() const
    {
        uint64_t h = lane[0];
        for (int k = 1; k < 4; ++k) h = Mix(h, lane[k]);
        return h;
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
    return h.Result();
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
