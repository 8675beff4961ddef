#include "app/viewer.h"

#include <cmath>
#include <cstdio>

#include "services/device.h"
#include "battle/frame.h"
#include "battle/setup.h"
#include "services/display.h"
#include "services/scene.h"
#include "assets/model.h"
#include "records/codes.h"
#include "records/state.h"
#include "records/units.h"
#include "platform/system.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace {
ModelPart gModel;
float gDistance = 0;
float gYaw = 0;
Vec3 gCentre{0, 0, 0};
std::string gOut;
bool gUnlit = false;
ViewerPose gPose;
// A kind on show: its record, placed with its hull or body at its height
// above the ground (y 0).
int gTankKind = 0, gRobotKind = 0;
TankUnit gTank{};
RobotUnit gRobot{};

constexpr float kKindDistance = 7.5f;  // the eye's distance from a kind unless told
constexpr int kHalf = 6;  // the ground patch reaches this far each way
constexpr uint64_t kGroundTriangles = (2 * kHalf) * (2 * kHalf) * 2;
constexpr uint32_t kGroundLight = 0xFF8A8F86, kGroundDark = 0xFF6E736A;

void PrintPart(const char* name, ModelPart& part)
{
    if (!part.mesh) return;
    (void)ComputeModelBox(&part);
    const OrientedBox& b = part.box;
    std::printf("%s: %u subsets, %u faces full, %u faces reduced, box (%.3f, %.3f, %.3f) to (%.3f, %.3f, %.3f)\n",
                name, part.materialCount, gfx::MeshFaceCount(part.lodMeshes[1]), gfx::MeshFaceCount(part.lodMeshes[0]),
                b.min.x, b.min.y, b.min.z, b.max.x, b.max.y, b.max.z);
}

bool StartKind(const std::string& name)
{
    const int tank = TankKindFromText(name.c_str());
    const int robot = tank ? 0 : RobotKindFromText(name.c_str());
    if (!tank && !robot) return false;
    float height = 0;
    if (tank) {
        gTankKind = tank;
        LoadTankModels(tank);
        SetTankKind(gTank, tank);
        height = gTank.row->groundClearance;
        gTank.alive = 1;
        gTank.hp = 100;
        gTank.turretYaw = gPose.turret;
        gTank.gunPitch = gPose.gun;
    } else {
        gRobotKind = robot;
        LoadRobotModels(robot);
        SetRobotKind(gRobot, robot);
        height = gRobot.row->groundClearance;
        gRobot.alive = 1;
        gRobot.hp = 100;
        gRobot.aimYaw = gPose.turret;
        gRobot.aimPitch = gPose.gun;
        gRobot.walkPhase = gPose.walk;
        gRobot.weapon = gPose.pods ? 1 : 0;
        gRobot.podAngle = gPose.pods ? 0 : gRobot.row->podAngle;
        gRobot.podSlide = gPose.pods ? 0 : gRobot.row->podSlide;
    }
    if (gPose.frozen) {
        (tank ? gTank.shakeCode : gRobot.shakeCode) = HitReaction::FrozenByIce;
        std::string errors;
        if (gfx::Failed(gfx::CreateEffectFromFile("LAND/Effect/IceShader.fx", &BattleEffect, &errors)))
            std::fprintf(stderr, "varnok: LAND/Effect/IceShader.fx: %s\n", errors.c_str());
    }
    gCentre = {0, height * (robot ? 0.8f : 0.6f), 0};
    std::printf("%s: %s kind %d, hull or body %.3f above the ground\n", name.c_str(), tank ? "tank" : "robot",
                tank ? tank : robot, height);
    return true;
}

// The unit's matrix for this frame: at its height, turning unless seen
// from a fixed side.
Mat4 UnitWorld(float height)
{
    const float yaw = gPose.from.empty() ? gYaw : 0.0f;
    return MatRotationY(yaw * kDegToRad) * MatTranslation(0, height, 0);
}

Vec3 EyeFor(float d)
{
    if (gPose.from == "front") return gCentre + Vec3{0, 0.15f * d, d};
    if (gPose.from == "rear") return gCentre + Vec3{0, 0.15f * d, -d};
    if (gPose.from == "side") return gCentre + Vec3{d, 0.1f * d, 0};
    if (gPose.from == "above") return gCentre + Vec3{0, d, -0.02f * d};
    return gCentre + Vec3{0, 0.35f * d, -d};  // turning, and the chase camera's view
}

// A checked patch of ground round the unit, unlit: one unit a square.
void DrawGround()
{
    struct V {
        float x, y, z;
        uint32_t colour;
    };
    static V quads[kGroundTriangles * 3];
    int n = 0;
    for (int i = -kHalf; i < kHalf; ++i)
        for (int k = -kHalf; k < kHalf; ++k) {
            const uint32_t c = ((i + k) & 1) ? kGroundLight : kGroundDark;
            const float x0 = static_cast<float>(i), x1 = x0 + 1, z0 = static_cast<float>(k), z1 = z0 + 1;
            const V a{x0, 0, z0, c}, b{x0, 0, z1, c}, d{x1, 0, z1, c}, e{x1, 0, z0, c};
            for (const V& v : {a, b, d, a, d, e}) quads[n++] = v;
        }
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    gfx::SetTexture(0, nullptr);
    gfx::SetTransform(gfx::TS_WORLD, MatIdentity());
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE);
    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLELIST, static_cast<uint32_t>(n / 3), quads, sizeof(V));
}

// The kind's own pose and scene draw under the fixed light, as far units
// are drawn: the kinds with a shadowed near path take their plain one here.
void DrawKind(Vec3 eye)
{
    DrawGround();
    gfx::SetRenderState(gfx::RS_LIGHTING, gUnlit ? 0 : 1);
    // The light shines from high over the eye's shoulder, so the faces in
    // view are lit whichever side is shown.
    gfx::Light light{};
    light.type = gfx::LIGHT_DIRECTIONAL;
    light.diffuse = {1, 1, 1, 0};
    light.specular = {1, 1, 1, 0};
    light.direction = Vec3Normalize(gCentre - (eye + Vec3{-0.3f * gDistance, 1.2f * gDistance, 0}));
    gfx::SetLight(0, light);
    SetIceLook(eye);
    gfx::Effect* shadows = ShadowEffect;
    ShadowEffect = nullptr;
    if (gTankKind) {
        const TankKind& k = *gTank.row;
        gTank.world = UnitWorld(k.groundClearance);
        gTank.cameraDistance = gDistance;
        if (k.pose) k.pose(gTank);
        gfx::SetTransform(gfx::TS_WORLD, gTank.world);
        if (k.draw) k.draw(gTank);
    } else {
        const RobotKind& k = *gRobot.row;
        gRobot.World() = UnitWorld(k.groundClearance);
        gRobot.cameraDistance = gDistance;
        if (k.pose) k.pose(gRobot);
        if (k.draw) k.draw(gRobot);
    }
    ShadowEffect = shadows;
}
}  // namespace

bool IsViewerDirection(const std::string& name)
{
    return name == "front" || name == "rear" || name == "side" || name == "above" || name == "chase";
}

bool StartViewer(const std::string& path, float distance, const std::string& outBmp, bool unlit,
                 const ViewerPose& pose)
{
    gUnlit = unlit;
    gPose = pose;
    gOut = outBmp;
    if (StartKind(path)) {
        gDistance = distance > 0 ? distance : kKindDistance;
    } else {
        LoadModelPart(&gModel, path.c_str());
        if (!gModel.mesh) return false;
        PrintPart(path.c_str(), gModel);
        const OrientedBox& b = gModel.box;
        gCentre = (b.min + b.max) * 0.5f;
        float radius = Vec3Length(b.halfSize);
        gDistance = distance > 0 ? distance : std::fmax(radius * 2.6f, 0.5f);
    }
    std::printf("camera distance %.3f: drawing the %s copy\n", gDistance, LodLevel(gDistance) ? "full" : "reduced");
    std::fflush(stdout);
    return true;
}

void ViewerScene()
{
    static uint32_t lastRun = 0;
    if (!SceneTick(&lastRun)) return;
    gYaw += 1.0f;  // a degree a frame
    const bool kind = gTankKind || gRobotKind;
    const Vec3 eye = kind ? EyeFor(gDistance) : gCentre + Vec3{0, gDistance * 0.35f, -gDistance};
    const Vec3 up = gPose.from == "above" && kind ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    ViewMatrix = MatLookAtLH(eye, gCentre, up);
    // A kind seen from afar is zoomed to the same size as from near, so its
    // reduced copies show as large as its full ones.
    float fov = kFieldOfView;
    if (kind && gDistance > kKindDistance) fov = 2.0f * std::atan(std::tan(kFieldOfView / 2) * kKindDistance / gDistance);
    ProjectionMatrix = MatPerspectiveFovLH(fov, kViewAspect, 0.1f, 12000.0f);
    CameraEye = eye;
    BuildViewFrustum(&BattleFrustum, ViewMatrix, fov / kDegToRad, kViewAspect, 0.1f, 12000.0f);
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()),
                      static_cast<uint32_t>(BackBufferHeight()), 0.0f, 1.0f});
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF5A6470, 1.0f, 0);
    gfx::BeginScene();
    gfx::SetRenderState(gfx::RS_FOGENABLE, 0);
    char text[96];
    if (kind) {
        DrawKind(eye);
        // The last frame's count, less the ground patch under the unit.
        const uint64_t drawn = gfx::LastFrameStats().triangles;
        std::snprintf(text, sizeof text, "%s: %llu triangles last frame (%s copies)",
                      gTankKind ? TankKindName(gTankKind) : RobotKindName(gRobotKind),
                      static_cast<unsigned long long>(drawn > kGroundTriangles ? drawn - kGroundTriangles : 0),
                      LodLevel(gDistance) ? "full" : "reduced");
    } else {
        gfx::SetRenderState(gfx::RS_LIGHTING, gUnlit ? 0 : 1);
        gfx::SetTransform(gfx::TS_WORLD, MatTranslation(-gCentre.x, -gCentre.y, -gCentre.z) *
                                             MatRotationY(gYaw * kDegToRad) *
                                             MatTranslation(gCentre.x, gCentre.y, gCentre.z));
        DrawModelPart(&gModel, gDistance);
        std::snprintf(text, sizeof text, "%u faces (%s copy)",
                      gfx::MeshFaceCount(gModel.lodMeshes[LodLevel(gDistance)]),
                      LodLevel(gDistance) ? "full" : "reduced");
    }
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::Rect at = {8, 8, 0, 0};
    gfx::FontDrawText(SmallFont, nullptr, text, -1, &at, gfx::DT_NOCLIP, 0xFFFFFFFF);
    // A kind's picture is the second frame, so its text counts the first's triangles.
    static int shown = 0;
    if (!gOut.empty() && (++shown >= 2 || !kind)) {
        if (kind) {
            std::printf("%s\n", text);
            std::fflush(stdout);
        }
        gfx::EndScene();
        if (gfx::Failed(gfx::SaveSurfaceToBmp(BackBufferSurface, gOut.c_str())))
            std::fprintf(stderr, "%s: the picture cannot be written\n", gOut.c_str());
        sys::PostQuitMessage(0);
    }
    EndFrame();
}

void StopViewer()
{
    ReleaseModelPart(&gModel);
    ReleaseBattleEffect();
}
