// Effect files: named parameters and techniques of GLSL passes.
//
//   // a comment (outside the shader text)
//   @param matrix|vector|float|texture NAME
//   @technique NAME
//   @pass
//   @vertex
//   ... GLSL: main() sets gl_Position in the device's clip space ...
//   @fragment
//   ... GLSL: main() sets outColor ...
//   @end
//
// Parameters become uniforms of the same names; vertex inputs are inPosition,
// inNormal, inColor and inTexCoord.  Matrices are applied as M * v, which is
// the row-vector v x M of the rest of the game.
//
// Every pass also sees the device state it needs to light and fog exactly as
// the fixed-function path does, as uniforms the runtime declares itself and
// fills from the device whenever a pass begins or changes are committed
// (game code never sets them, and an effect file does not declare them):
//   DeviceView           the view transform
//   DeviceFog            x 1 while linear fog is on (else 0), y fog start, z fog end;
//                        the fixed path fogs per vertex by view depth z:
//                        f = clamp((end - z) / (end - start), 0, 1),
//                        colour = mix(DeviceFogColor, colour, f)
//   DeviceFogColor       the fog colour
//   DeviceLight          xyz the unit vector toward light 0, w 1 while the device
//                        lights with it (lighting on, light 0 on and directional)
//   DeviceLightDiffuse   light 0's diffuse colour
//   DeviceLightSpecular  rgb light 0's specular times the material's (0 while
//                        specular lighting or light 0 is off), w the material's power
//   DeviceAmbient        rgb emissive plus the ambient light times the material's
//                        ambient, w 1 while lighting is on (else 0)
#include <cmath>
#include <cstdio>
#include "platform/test_hooks.h"
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <unordered_set>

#include "platform/file_read.h"
#include "platform/gfx_internal.h"

namespace gfx {

namespace {
struct DeviceParamSpec {
    const char* name;
    ParamType type;
};
// Appended after an effect's own parameters, in this order.
constexpr DeviceParamSpec kDeviceParams[] = {
    {"DeviceView", ParamType::Matrix},          {"DeviceFog", ParamType::Vector},
    {"DeviceFogColor", ParamType::Vector},      {"DeviceLight", ParamType::Vector},
    {"DeviceLightDiffuse", ParamType::Vector},  {"DeviceLightSpecular", ParamType::Vector},
    {"DeviceAmbient", ParamType::Vector},
};
constexpr size_t kDeviceParamCount = sizeof kDeviceParams / sizeof kDeviceParams[0];

bool IsDeviceParam(const std::string& name)
{
    for (const DeviceParamSpec& d : kDeviceParams)
        if (name == d.name) return true;
    return false;
}

void SetColor(float* out, uint32_t argb)
{
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = (argb >> 24) / 255.0f;
}

// Copies the device's view, fog and lighting into the effect's device
// parameters, worked out as the fixed-function path works them out.
void FillDeviceParams(Effect* fx)
{
    const DeviceState& st = State();
    const Light& l = st.light;
    const Material& m = st.material;
    EffectParam* p = &fx->params[fx->params.size() - kDeviceParamCount];
    float* view = p[0].value;
    float* fog = p[1].value;
    float* fogColor = p[2].value;
    float* light = p[3].value;
    float* diffuse = p[4].value;
    float* specular = p[5].value;
    float* ambient = p[6].value;

    std::memcpy(view, &st.view.m[0][0], sizeof(float) * 16);

    bool fogOn = st.rs[RS_FOGENABLE] && st.rs[RS_FOGVERTEXMODE] == FOG_LINEAR;
    fog[0] = fogOn ? 1.0f : 0.0f;
    fog[1] = BitsFloat(st.rs[RS_FOGSTART]);
    fog[2] = BitsFloat(st.rs[RS_FOGEND]);
    fog[3] = 0.0f;
    SetColor(fogColor, st.rs[RS_FOGCOLOR]);

    bool lighting = st.rs[RS_LIGHTING] != 0;
    bool lightOn = lighting && st.lightEnabled && l.type == LIGHT_DIRECTIONAL;
    float len = std::sqrt(l.direction.x * l.direction.x + l.direction.y * l.direction.y +
                          l.direction.z * l.direction.z);
    float toLight = len > 0.0f ? -1.0f / len : 0.0f;
    light[0] = l.direction.x * toLight;
    light[1] = l.direction.y * toLight;
    light[2] = l.direction.z * toLight;
    light[3] = lightOn ? 1.0f : 0.0f;

    diffuse[0] = l.diffuse.r;
    diffuse[1] = l.diffuse.g;
    diffuse[2] = l.diffuse.b;
    diffuse[3] = l.diffuse.a;

    bool shiny = lightOn && st.rs[RS_SPECULARENABLE];
    specular[0] = shiny ? l.specular.r * m.specular.r : 0.0f;
    specular[1] = shiny ? l.specular.g * m.specular.g : 0.0f;
    specular[2] = shiny ? l.specular.b * m.specular.b : 0.0f;
    specular[3] = m.power;

    // Light 0's ambient counts only while it is on.
    float scene[4];
    SetColor(scene, st.rs[RS_AMBIENT]);
    float on = lightOn ? 1.0f : 0.0f;
    ambient[0] = m.emissive.r + (scene[0] + on * l.ambient.r) * m.ambient.r;
    ambient[1] = m.emissive.g + (scene[1] + on * l.ambient.g) * m.ambient.g;
    ambient[2] = m.emissive.b + (scene[2] + on * l.ambient.b) * m.ambient.b;
    ambient[3] = lighting ? 1.0f : 0.0f;
}

bool Fail(std::string* errors, const std::string& path, int line, const std::string& what)
{
    if (errors) *errors = path + ":" + std::to_string(line) + ": " + what;
    return false;
}

bool ParseEffect(const std::string& text, const std::string& path, Effect* fx, std::string* errors)
{
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    enum { Outside, InPass, InVertex, InFragment } mode = Outside;
    EffectPass* pass = nullptr;
    std::unordered_set<std::string> names;  // the parameters so far
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = line.substr(line.find_first_not_of(" \t") == std::string::npos ? line.size() : line.find_first_not_of(" \t"));
        if (trimmed.rfind("@", 0) != 0) {
            if (mode == InVertex) pass->vertexSource += line + "\n";
            else if (mode == InFragment) pass->fragmentSource += line + "\n";
            else if (!trimmed.empty() && trimmed.rfind("//", 0) != 0)
                return Fail(errors, path, lineNo, "text outside a pass");
            continue;
        }
        std::istringstream words(trimmed);
        std::string cmd, a, b;
        words >> cmd >> a >> b;
        if (cmd == "@param") {
            if (mode != Outside) return Fail(errors, path, lineNo, "@param inside a technique");
            EffectParam p;
            if (a == "matrix") p.type = ParamType::Matrix;
            else if (a == "vector") p.type = ParamType::Vector;
            else if (a == "float") p.type = ParamType::Float;
            else if (a == "texture") p.type = ParamType::Texture;
            else return Fail(errors, path, lineNo, "unknown parameter type " + Quoted(a));
            if (b.empty()) return Fail(errors, path, lineNo, "@param needs a name");
            if (IsDeviceParam(b))
                return Fail(errors, path, lineNo, Quoted(b) + " comes from the device; it needs no @param");
            if (!names.insert(b).second) return Fail(errors, path, lineNo, "parameter " + Quoted(b) + " twice");
            p.name = b;
            fx->params.push_back(p);
        } else if (cmd == "@technique") {
            if (mode == InVertex || mode == InFragment)
                return Fail(errors, path, lineNo, "@technique inside a pass");
            if (a.empty()) return Fail(errors, path, lineNo, "@technique needs a name");
            fx->techniques.push_back({a, {}});
            mode = Outside;
        } else if (cmd == "@pass") {
            if (fx->techniques.empty()) return Fail(errors, path, lineNo, "@pass outside a technique");
            if (mode == InVertex || mode == InFragment)
                return Fail(errors, path, lineNo, "@pass before @end");
            fx->techniques.back().passes.emplace_back();
            pass = &fx->techniques.back().passes.back();
            mode = InPass;
        } else if (cmd == "@vertex" || cmd == "@fragment") {
            if (!pass || mode == Outside) return Fail(errors, path, lineNo, cmd + " outside a pass");
            mode = cmd == "@vertex" ? InVertex : InFragment;
        } else if (cmd == "@end") {
            if (!pass || mode == Outside) return Fail(errors, path, lineNo, "@end outside a pass");
            if (pass->vertexSource.empty() || pass->fragmentSource.empty())
                return Fail(errors, path, lineNo, "a pass needs @vertex and @fragment text");
            mode = Outside;
            pass = nullptr;
        } else {
            return Fail(errors, path, lineNo, "unknown directive " + Quoted(cmd));
        }
    }
    if (mode != Outside) return Fail(errors, path, lineNo, "the file ends inside a pass");
    if (fx->techniques.empty()) return Fail(errors, path, lineNo, "no technique");
    for (const EffectTechnique& t : fx->techniques)
        if (t.passes.empty())
            return Fail(errors, path, lineNo, "technique " + Quoted(t.name) + " has no pass");
    for (const DeviceParamSpec& d : kDeviceParams) {
        EffectParam p;
        p.name = d.name;
        p.type = d.type;
        fx->params.push_back(p);
    }
    return true;
}

EffectParam* FindParam(Effect* fx, const char* name, ParamType type)
{
    if (!fx || !name) return nullptr;
    if (IsDeviceParam(name)) return nullptr;  // the device fills these
    for (EffectParam& p : fx->params)
        if (p.name == name && p.type == type) return &p;
#ifndef NDEBUG
    // Unknown names are ignored, as the effect system always did; say so once.
    static std::set<std::string> told;
    if (told.insert(fx->path + "/" + name).second)
        std::fprintf(stderr, "%s: no parameter '%s' of that type; ignored\n", fx->path.c_str(), name);
#endif
    return nullptr;
}
}  // namespace

// An effect file is a page or two of shader text.
constexpr uint64_t kLargestEffectFile = uint64_t{1} << 20;

HResult CreateEffectFromFile(const char* path, Effect** out, std::string* errors)
{
    *out = nullptr;
    if (!DeviceExists()) return E_FAIL;
    std::string text, why;
    if (!ReadRegularFile(path, kLargestEffectFile, "an effect file", &text, &why)) {
        if (errors) *errors = std::string(path) + ": " + why;
        return E_FAIL;
    }
    auto* fx = new Effect;
    fx->type = ObjType::Effect;
    fx->path = path;
    std::string err;
    if (!ParseEffect(text, path, fx, &err) || !CurrentDeviceBackend().compileEffect(fx, &err)) {
        if (errors) *errors = err;
        delete fx;
        return E_FAIL;
    }
    *out = fx;
    return S_OK;
}

HResult EffectSetTechnique(Effect* fx, const char* technique)
{
    if (!fx || !technique) return E_FAIL;
    for (size_t i = 0; i < fx->techniques.size(); ++i)
        if (fx->techniques[i].name == technique) {
            FlushBatch();
            fx->technique = static_cast<int>(i);
            return S_OK;
        }
    return E_FAIL;
}

bool EffectHasTechnique(Effect* fx, const char* technique)
{
    if (!fx || !technique) return false;
    for (const EffectTechnique& t : fx->techniques)
        if (t.name == technique) return true;
    return false;
}

HResult EffectBegin(Effect* fx, uint32_t* passes)
{
    if (!fx || fx->begun) return E_FAIL;
    FlushBatch();
    fx->begun = true;
    if (passes) *passes = static_cast<uint32_t>(fx->techniques[fx->technique].passes.size());
    return S_OK;
}

HResult EffectBeginPass(Effect* fx, uint32_t pass)
{
    if (!fx || !fx->begun || pass >= fx->techniques[fx->technique].passes.size()) return E_FAIL;
    FlushBatch();
    fx->pass = static_cast<int>(pass);
    State().effect = fx;
    State().effectPass = static_cast<int>(pass);
    FillDeviceParams(fx);
    return S_OK;
}

HResult EffectCommitChanges(Effect* fx)
{
    if (!fx) return E_FAIL;
    FlushBatch();
    FillDeviceParams(fx);
    return S_OK;
}

HResult EffectEndPass(Effect* fx)
{
    if (!fx || fx->pass < 0) return E_FAIL;
    FlushBatch();
    fx->pass = -1;
    if (State().effect == fx) {
        State().effect = nullptr;
        State().effectPass = -1;
    }
    return S_OK;
}

HResult EffectEnd(Effect* fx)
{
    if (!fx || !fx->begun) return E_FAIL;
    if (fx->pass >= 0) EffectEndPass(fx);
    fx->begun = false;
    return S_OK;
}

HResult EffectSetMatrix(Effect* fx, const char* name, const Mat4& m)
{
    EffectParam* p = FindParam(fx, name, ParamType::Matrix);
    if (!p) return E_FAIL;
    std::memcpy(p->value, &m.m[0][0], sizeof(float) * 16);
    return S_OK;
}

HResult EffectSetVector(Effect* fx, const char* name, const Vec4& v)
{
    EffectParam* p = FindParam(fx, name, ParamType::Vector);
    if (!p) return E_FAIL;
    p->value[0] = v.x;
    p->value[1] = v.y;
    p->value[2] = v.z;
    p->value[3] = v.w;
    return S_OK;
}

HResult EffectSetFloat(Effect* fx, const char* name, float f)
{
    EffectParam* p = FindParam(fx, name, ParamType::Float);
    if (!p) return E_FAIL;
    p->value[0] = f;
    return S_OK;
}

HResult EffectSetTexture(Effect* fx, const char* name, Texture* tex)
{
    EffectParam* p = FindParam(fx, name, ParamType::Texture);
    if (!p) return E_FAIL;
    // The effect holds its own reference, so a texture it uses stays alive.
    AddRef(tex);
    Release(p->texture);
    p->texture = tex;
    return S_OK;
}

bool EffectGetVector(Effect* fx, const char* name, Vec4* v)
{
    if (!fx) return false;
    for (const EffectParam& p : fx->params)
        if (p.name == name && p.type == ParamType::Vector) {
            *v = {p.value[0], p.value[1], p.value[2], p.value[3]};
            return true;
        }
    return false;
}

bool EffectGetFloat(Effect* fx, const char* name, float* f)
{
    if (!fx) return false;
    for (const EffectParam& p : fx->params)
        if (p.name == name && p.type == ParamType::Float) {
            *f = p.value[0];
            return true;
        }
    return false;
}

}  // namespace gfx
