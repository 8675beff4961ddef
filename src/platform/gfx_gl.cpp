// The OpenGL 3.3 backend of the graphics device.
//
// The back buffer is an offscreen framebuffer whose first row in memory is
// the top of the picture, like every render-target texture; Present blits it
// to the window upside down.  Vertex shaders turn the device's clip space
// into OpenGL's: y is negated (so clip +y lands on row 0, the top) and depth
// 0..1 becomes -1..1.  Pictures are uploaded top row first, so texture v = 0
// is the top row without any flip.
#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "platform/gfx_internal.h"
#include "platform/system.h"

namespace gfx {
namespace {

SDL_Window* gWindow = nullptr;
SDL_GLContext gContext = nullptr;
GLuint gBackFbo = 0, gBackColor = 0, gBackDepth = 0;
uint32_t gBackW = 0, gBackH = 0;
std::map<std::pair<GLuint, GLuint>, GLuint> gFbos;  // (colour texture, depth buffer) -> fbo
GLuint gWhite = 0;
// Sampler objects by filters and addressing, made as first asked for:
// [mag][min][mip][clamp], filters as TEXF_* (the mip filter may be none).
GLuint gSamplers[3][3][3][2] = {};
GLuint gBatchVao = 0, gBatchVbo = 0;

const char* kClipFix =
    "    gl_Position = vec4(gl_Position.x, -gl_Position.y, 2.0 * gl_Position.z - gl_Position.w,"
    " gl_Position.w);\n";

const char* kFixedVS = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUV;
layout(location = 4) in float aPointSize;
layout(location = 5) in float aFlags;
uniform mat4 uWorld, uView, uProj, uTex0;
uniform vec3 uEye;
uniform int uLighting, uLightOn, uSpecular, uTexTransform, uPoints, uPointScale, uFog;
uniform vec4 uAmbient, uLightDiffuse, uLightSpecular, uLightAmbient;
uniform vec3 uLightDir;
uniform vec4 uMatDiffuse, uMatAmbient, uMatSpecular, uMatEmissive;
uniform float uMatPower;
uniform vec3 uPointABC;
uniform float uPointMin, uViewportH, uFogStart, uFogEnd;
out vec4 vColor;
out vec3 vSpecular;
out vec2 vUV;
out float vFog;
flat out int vSlot;
void main()
{
    vec4 wp = uWorld * vec4(aPos, 1.0);
    vec4 vp = uView * wp;
    gl_Position = uProj * vp;
    int flags = int(aFlags + 0.5);
    bool hasColor = (flags & 1) != 0;
    vSlot = flags >> 2;
    vec4 diffuse = hasColor ? aColor : (uLighting != 0 ? uMatDiffuse : vec4(1.0));
    vSpecular = vec3(0.0);
    if (uLighting != 0) {
        vec3 n = (uWorld * vec4(aNormal, 0.0)).xyz;
        vec3 N = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0);
        vec3 col = uMatEmissive.rgb + uAmbient.rgb * uMatAmbient.rgb;
        if (uLightOn != 0) {
            vec3 L = -normalize(uLightDir);
            float ndl = max(dot(N, L), 0.0);
            col += uLightAmbient.rgb * uMatAmbient.rgb + uLightDiffuse.rgb * diffuse.rgb * ndl;
            if (uSpecular != 0 && ndl > 0.0) {
                vec3 V = normalize(uEye - wp.xyz);
                vec3 H = normalize(L + V);
                vSpecular = uLightSpecular.rgb * uMatSpecular.rgb *
                            pow(max(dot(N, H), 0.0), uMatPower);
            }
        }
        vColor = vec4(clamp(col, 0.0, 1.0), diffuse.a);
    } else {
        vColor = diffuse;
    }
    vUV = uTexTransform != 0 ? (uTex0 * vec4(aUV, 1.0, 0.0)).xy : aUV;
    vFog = uFog != 0 ? clamp((uFogEnd - vp.z) / (uFogEnd - uFogStart), 0.0, 1.0) : 1.0;
    if (uPoints != 0) {
        float s = aPointSize;
        if (uPointScale != 0) {
            float d = length(vp.xyz);
            s = uViewportH * s * sqrt(1.0 / (uPointABC.x + uPointABC.y * d + uPointABC.z * d * d));
        }
        gl_PointSize = clamp(s, uPointMin, 64.0);
    }
)";

const char* kFixedFSHead = R"(#version 330 core
in vec4 vColor;
in vec3 vSpecular;
in vec2 vUV;
in float vFog;
flat in int vSlot;
uniform int uPoints, uPointSprite;
uniform vec4 uFogColor;
out vec4 oColor;
)";

// A draw of up to eight textures picks its texel by the vertex's slot.  A
// software renderer works out every case of the switch for every pixel,
// so a draw of one texture takes the program that samples only unit 0.
const char* kEightTextures = R"(uniform sampler2D uTex[8];
vec4 Sample(vec2 uv)
{
    switch (vSlot) {
    case 0: return texture(uTex[0], uv);
    case 1: return texture(uTex[1], uv);
    case 2: return texture(uTex[2], uv);
    case 3: return texture(uTex[3], uv);
    case 4: return texture(uTex[4], uv);
    case 5: return texture(uTex[5], uv);
    case 6: return texture(uTex[6], uv);
    default: return texture(uTex[7], uv);
    }
}
)";
const char* kOneTexture = R"(uniform sampler2D uTex[1];
vec4 Sample(vec2 uv) { return texture(uTex[0], uv); }
)";

const char* kFixedFSBody = R"(void main()
{
    vec2 uv = (uPoints != 0 && uPointSprite != 0) ? gl_PointCoord : vUV;
    vec4 c = Sample(uv) * vColor;
    c.rgb = min(c.rgb + vSpecular, vec3(1.0));
    c.rgb = mix(uFogColor.rgb, c.rgb, vFog);
    oColor = c;
}
)";

struct FixedProgram {
    GLuint id = 0;
    GLsizei textureUnits = 0;  // how many samplers it reads
    GLint world, view, proj, tex0, eye, lighting, lightOn, specular, texTransform, points,
        pointScale, fog, ambient, lightDiffuse, lightSpecular, lightAmbient, lightDir,
        matDiffuse, matAmbient, matSpecular, matEmissive, matPower, pointABC, pointMin,
        viewportH, fogStart, fogEnd, tex, pointSprite, fogColor;
} gFixed, gFixedOne;  // up to eight textures a draw; one

GLuint Compile(GLenum kind, const std::string& src, std::string* log)
{
    GLuint sh = glCreateShader(kind);
    const char* p = src.c_str();
    glShaderSource(sh, 1, &p, nullptr);
    glCompileShader(sh);
    GLint ok = 0;
    glGetShaderiv(sh, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buf[4096];
        glGetShaderInfoLog(sh, sizeof buf, nullptr, buf);
        if (log) *log += buf;
        glDeleteShader(sh);
        return 0;
    }
    return sh;
}

GLuint Link(const std::string& vs, const std::string& fs, std::string* log)
{
    GLuint v = Compile(GL_VERTEX_SHADER, vs, log);
    GLuint f = Compile(GL_FRAGMENT_SHADER, fs, log);
    if (!v || !f) {
        if (v) glDeleteShader(v);
        if (f) glDeleteShader(f);
        return 0;
    }
    GLuint p = glCreateProgram();
    glAttachShader(p, v);
    glAttachShader(p, f);
    glLinkProgram(p);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char buf[4096];
        glGetProgramInfoLog(p, sizeof buf, nullptr, buf);
        if (log) *log += buf;
        glDeleteProgram(p);
        return 0;
    }
    return p;
}

void ColorOf(uint32_t argb, float out[4])
{
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = (argb >> 24) / 255.0f;
}

GLenum BlendFactor(uint32_t b)
{
    switch (b) {
    case BLEND_ZERO: return GL_ZERO;
    case BLEND_ONE: return GL_ONE;
    case BLEND_SRCALPHA: return GL_SRC_ALPHA;
    case BLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    default: return GL_ONE;
    }
}

// Drops the cached framebuffers that use a colour texture or depth buffer.
template <class Uses>
void ForgetFramebuffers(Uses uses)
{
    for (auto it = gFbos.begin(); it != gFbos.end();) {
        if (uses(it->first.first, it->first.second)) {
            glDeleteFramebuffers(1, &it->second);
            it = gFbos.erase(it);
        } else {
            ++it;
        }
    }
}

bool CreateBackBuffer(uint32_t w, uint32_t h)
{
    while (glGetError() != GL_NO_ERROR) {}
    if (gBackFbo) {
        glDeleteFramebuffers(1, &gBackFbo);
        glDeleteRenderbuffers(1, &gBackColor);
        glDeleteRenderbuffers(1, &gBackDepth);
    }
    // Framebuffers pairing the old back-buffer colour or depth go with them.
    ForgetFramebuffers([](GLuint tex, GLuint depth) { return tex == 0 || depth == gBackDepth; });
    gBackW = w;
    gBackH = h;
    glGenRenderbuffers(1, &gBackColor);
    glBindRenderbuffer(GL_RENDERBUFFER, gBackColor);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glGenRenderbuffers(1, &gBackDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, gBackDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    glGenFramebuffers(1, &gBackFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, gBackFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gBackColor);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gBackDepth);
    return glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

GLuint DepthBufferOf(Surface* d)
{
    if (!d) return 0;
    return d->kind == Surface::Depth ? d->glRenderbuffer : gBackDepth;
}

// The framebuffer for a colour target and a depth surface.
GLuint FramebufferFor(Surface* color, Surface* depth)
{
    GLuint depthRb = DepthBufferOf(depth);
    if (!color || color->kind == Surface::BackBuffer) {
        if (depthRb == gBackDepth) return gBackFbo;
        color = nullptr;
    }
    GLuint tex = color ? color->owner->glTexture : 0;
    auto key = std::make_pair(tex, depthRb);
    auto it = gFbos.find(key);
    if (it != gFbos.end()) return it->second;
    GLuint fbo;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    if (tex) glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
    else glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gBackColor);
    if (depthRb)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRb);
    gFbos[key] = fbo;
    return fbo;
}

void BindTargets(const DeviceState& st)
{
    glBindFramebuffer(GL_FRAMEBUFFER, FramebufferFor(st.colorTarget, st.depthTarget));
    const Viewport& vp = st.viewport;
    glViewport(static_cast<GLint>(vp.x), static_cast<GLint>(vp.y), static_cast<GLsizei>(vp.width),
               static_cast<GLsizei>(vp.height));
    glDepthRange(vp.minZ, vp.maxZ);
}

void ApplyRaster(const DeviceState& st)
{
    BindTargets(st);
    if (st.rs[RS_ALPHABLENDENABLE]) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(st.rs[RS_SRCBLEND]), BlendFactor(st.rs[RS_DESTBLEND]));
    } else {
        glDisable(GL_BLEND);
    }
    bool depth = st.depthTarget && st.rs[RS_ZENABLE];
    if (depth) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(st.depthTarget && st.rs[RS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    // Window y runs down the picture here, so a triangle OpenGL counts as
    // counter-clockwise is clockwise on screen.
    switch (st.rs[RS_CULLMODE]) {
    case CULL_CW:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        break;
    case CULL_CCW:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        break;
    default:
        glDisable(GL_CULL_FACE);
        break;
    }
    glFrontFace(GL_CCW);
}

GLuint SamplerFor(const DeviceState& st, bool clamp)
{
    GLuint& s = gSamplers[st.magFilter][st.minFilter][st.mipFilter][clamp ? 1 : 0];
    if (s) return s;
    bool linear = st.minFilter == TEXF_LINEAR;
    GLint min = st.mipFilter == TEXF_NONE    ? (linear ? GL_LINEAR : GL_NEAREST)
                : st.mipFilter == TEXF_POINT ? (linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                                             : (linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
    glGenSamplers(1, &s);
    glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, min);
    glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, st.magFilter == TEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    GLint wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glSamplerParameteri(s, GL_TEXTURE_WRAP_S, wrap);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_T, wrap);
    return s;
}

// Binds a texture to a unit with the device's sampler-0 filters.
void BindTexture(const DeviceState& st, GLuint unit, Texture* t, bool clamp)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, t && t->glTexture ? t->glTexture : gWhite);
    glBindSampler(unit, SamplerFor(st, clamp));
}

void SetFixedUniforms(const DeviceState& st, bool points, const Mat4& world,
                      Texture* const* textures, uint32_t textureCount)
{
    FixedProgram& p = textureCount <= 1 ? gFixedOne : gFixed;
    glUseProgram(p.id);
    glUniformMatrix4fv(p.world, 1, GL_FALSE, &world.m[0][0]);
    glUniformMatrix4fv(p.view, 1, GL_FALSE, &st.view.m[0][0]);
    glUniformMatrix4fv(p.proj, 1, GL_FALSE, &st.proj.m[0][0]);
    glUniformMatrix4fv(p.tex0, 1, GL_FALSE, &st.tex0.m[0][0]);
    Mat4 inv;
    Vec3 eye{0, 0, 0};
    if (MatInverse(&inv, st.view)) eye = {inv.m[3][0], inv.m[3][1], inv.m[3][2]};
    glUniform3f(p.eye, eye.x, eye.y, eye.z);
    glUniform1i(p.lighting, st.rs[RS_LIGHTING] ? 1 : 0);
    glUniform1i(p.lightOn, st.lightEnabled && st.light.type == LIGHT_DIRECTIONAL ? 1 : 0);
    glUniform1i(p.specular, st.rs[RS_SPECULARENABLE] ? 1 : 0);
    glUniform1i(p.texTransform, st.texTransformFlags == TTFF_COUNT2 ? 1 : 0);
    glUniform1i(p.points, points ? 1 : 0);
    glUniform1i(p.pointScale, st.rs[RS_POINTSCALEENABLE] ? 1 : 0);
    glUniform1i(p.pointSprite, st.rs[RS_POINTSPRITEENABLE] ? 1 : 0);
    glUniform1i(p.fog, st.rs[RS_FOGENABLE] && st.rs[RS_FOGVERTEXMODE] == FOG_LINEAR ? 1 : 0);
    float c[4];
    ColorOf(st.rs[RS_AMBIENT], c);
    glUniform4fv(p.ambient, 1, c);
    ColorOf(st.rs[RS_FOGCOLOR], c);
    glUniform4fv(p.fogColor, 1, c);
    glUniform4fv(p.lightDiffuse, 1, &st.light.diffuse.r);
    glUniform4fv(p.lightSpecular, 1, &st.light.specular.r);
    glUniform4fv(p.lightAmbient, 1, &st.light.ambient.r);
    glUniform3f(p.lightDir, st.light.direction.x, st.light.direction.y, st.light.direction.z);
    glUniform4fv(p.matDiffuse, 1, &st.material.diffuse.r);
    glUniform4fv(p.matAmbient, 1, &st.material.ambient.r);
    glUniform4fv(p.matSpecular, 1, &st.material.specular.r);
    glUniform4fv(p.matEmissive, 1, &st.material.emissive.r);
    glUniform1f(p.matPower, st.material.power);
    glUniform3f(p.pointABC, BitsFloat(st.rs[RS_POINTSCALE_A]), BitsFloat(st.rs[RS_POINTSCALE_B]),
                BitsFloat(st.rs[RS_POINTSCALE_C]));
    glUniform1f(p.pointMin, BitsFloat(st.rs[RS_POINTSIZE_MIN]));
    glUniform1f(p.viewportH, static_cast<float>(st.viewport.height));
    glUniform1f(p.fogStart, BitsFloat(st.rs[RS_FOGSTART]));
    glUniform1f(p.fogEnd, BitsFloat(st.rs[RS_FOGEND]));
    static const GLint units[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    glUniform1iv(p.tex, p.textureUnits, units);
    for (uint32_t i = 0; i < textureCount; ++i) BindTexture(st, i, textures[i], st.spriteMode);
}

void SetEffectUniforms(const DeviceState& st)
{
    Effect* fx = st.effect;
    EffectTechnique& t = fx->techniques[fx->technique];
    EffectPass& pass = t.passes[st.effectPass];
    glUseProgram(pass.glProgram);
    GLuint unit = 1;
    for (size_t i = 0; i < fx->params.size(); ++i) {
        GLint loc = pass.uniformLocations[i];
        if (loc < 0) continue;
        const EffectParam& prm = fx->params[i];
        switch (prm.type) {
        case ParamType::Matrix: glUniformMatrix4fv(loc, 1, GL_FALSE, prm.value); break;
        case ParamType::Vector: glUniform4fv(loc, 1, prm.value); break;
        case ParamType::Float: glUniform1f(loc, prm.value[0]); break;
        case ParamType::Texture:
            BindTexture(st, unit, prm.texture, false);
            glUniform1i(loc, static_cast<GLint>(unit));
            ++unit;
            break;
        }
    }
}

bool Init(const PresentParameters& pp)
{
    gWindow = static_cast<SDL_Window*>(sys::NativeWindow());
    if (!gWindow) {
        std::fprintf(stderr, "varnok: the graphics device needs the main window\n");
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    gContext = SDL_GL_CreateContext(gWindow);
    if (!gContext) {
        std::fprintf(stderr, "varnok: no OpenGL 3.3 context (%s)\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(gWindow, gContext);
    SDL_GL_SetSwapInterval(0);  // no waiting for the retrace

    std::string log;
    for (FixedProgram* program : {&gFixed, &gFixedOne}) {
        const bool one = program == &gFixedOne;
        FixedProgram& p = *program;
        p.id = Link(std::string(kFixedVS) + kClipFix + "}\n",
                    std::string(kFixedFSHead) + (one ? kOneTexture : kEightTextures) + kFixedFSBody, &log);
        if (!p.id) {
            std::fprintf(stderr, "varnok: the fixed-function shader does not build:\n%s\n", log.c_str());
            glDeleteProgram(gFixed.id);
            gFixed = FixedProgram{};
            SDL_GL_DeleteContext(gContext);
            gContext = nullptr;
            return false;
        }
        p.textureUnits = one ? 1 : 8;
        auto U = [&](const char* n) { return glGetUniformLocation(p.id, n); };
        p.world = U("uWorld"); p.view = U("uView"); p.proj = U("uProj"); p.tex0 = U("uTex0");
        p.eye = U("uEye"); p.lighting = U("uLighting"); p.lightOn = U("uLightOn");
        p.specular = U("uSpecular"); p.texTransform = U("uTexTransform"); p.points = U("uPoints");
        p.pointScale = U("uPointScale"); p.fog = U("uFog"); p.ambient = U("uAmbient");
        p.lightDiffuse = U("uLightDiffuse"); p.lightSpecular = U("uLightSpecular");
        p.lightAmbient = U("uLightAmbient"); p.lightDir = U("uLightDir");
        p.matDiffuse = U("uMatDiffuse"); p.matAmbient = U("uMatAmbient");
        p.matSpecular = U("uMatSpecular"); p.matEmissive = U("uMatEmissive");
        p.matPower = U("uMatPower"); p.pointABC = U("uPointABC"); p.pointMin = U("uPointMin");
        p.viewportH = U("uViewportH"); p.fogStart = U("uFogStart"); p.fogEnd = U("uFogEnd");
        p.tex = U("uTex[0]"); p.pointSprite = U("uPointSprite"); p.fogColor = U("uFogColor");
    }

    uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &gWhite);
    glBindTexture(GL_TEXTURE_2D, gWhite);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);

    glGenVertexArrays(1, &gBatchVao);
    glGenBuffers(1, &gBatchVbo);
    glBindVertexArray(gBatchVao);
    glBindBuffer(GL_ARRAY_BUFFER, gBatchVbo);
    const GLsizei s = sizeof(BatchVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, s, (void*)offsetof(BatchVertex, pos));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, s, (void*)offsetof(BatchVertex, normal));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, (void*)offsetof(BatchVertex, color));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, s, (void*)offsetof(BatchVertex, uv));
    glEnableVertexAttribArray(4);
    glVertexAttribPointer(4, 1, GL_FLOAT, GL_FALSE, s, (void*)offsetof(BatchVertex, pointSize));
    glEnableVertexAttribArray(5);
    glVertexAttribPointer(5, 1, GL_FLOAT, GL_FALSE, s, (void*)offsetof(BatchVertex, flags));

    glEnable(GL_PROGRAM_POINT_SIZE);
    // Window y runs down the picture, so the sprite's top is OpenGL's lower edge.
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    if (!CreateBackBuffer(pp.backBufferWidth, pp.backBufferHeight)) {
        std::fprintf(stderr, "varnok: no %u x %u back buffer can be made\n", pp.backBufferWidth, pp.backBufferHeight);
        return false;
    }
    return true;
}

void Shutdown()
{
    if (!gContext) return;
    for (auto& f : gFbos) glDeleteFramebuffers(1, &f.second);
    gFbos.clear();
    glDeleteFramebuffers(1, &gBackFbo);
    glDeleteRenderbuffers(1, &gBackColor);
    glDeleteRenderbuffers(1, &gBackDepth);
    gBackFbo = gBackColor = gBackDepth = 0;
    glDeleteTextures(1, &gWhite);
    for (auto& mag : gSamplers)
        for (auto& min : mag)
            for (auto& mip : min)
                for (GLuint& s : mip) {
                    if (s) glDeleteSamplers(1, &s);
                    s = 0;
                }
    glDeleteBuffers(1, &gBatchVbo);
    glDeleteVertexArrays(1, &gBatchVao);
    glDeleteProgram(gFixed.id);
    glDeleteProgram(gFixedOne.id);
    gFixed = gFixedOne = FixedProgram{};
    SDL_GL_DeleteContext(gContext);
    gContext = nullptr;
}

bool Resize(uint32_t w, uint32_t h) { return CreateBackBuffer(w, h); }

Format DisplayFormat() { return FMT_X8R8G8B8; }

bool CreateTextureGL(Texture* t)
{
    glGenTextures(1, &t->glTexture);
    glBindTexture(GL_TEXTURE_2D, t->glTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(t->levels) - 1);
    for (uint32_t level = 0; level < t->levels; ++level) {
        GLsizei w = std::max(t->width >> level, 1u), h = std::max(t->height >> level, 1u);
        if (t->format == FMT_R32F)
            glTexImage2D(GL_TEXTURE_2D, level, GL_R32F, w, h, 0, GL_RED, GL_FLOAT, nullptr);
        else
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    }
    if (t->format == FMT_R32F) {
        // A one-channel texture reads (r, 1, 1, 1).
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_ONE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_ONE);
    } else if (t->format == FMT_X8R8G8B8) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    }
    return glGetError() == GL_NO_ERROR;
}

void UploadTexture(Texture* t, const uint32_t* argb)
{
    glBindTexture(GL_TEXTURE_2D, t->glTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (t->format == FMT_R32F) {
        std::vector<float> red(static_cast<size_t>(t->width) * t->height);
        for (size_t i = 0; i < red.size(); ++i) red[i] = ((argb[i] >> 16) & 0xFF) / 255.0f;
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t->width, t->height, GL_RED, GL_FLOAT, red.data());
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t->width, t->height, GL_BGRA, GL_UNSIGNED_BYTE, argb);
    }
    if (t->levels > 1) glGenerateMipmap(GL_TEXTURE_2D);
}

void DestroyTexture(Texture* t)
{
    GLuint id = t->glTexture;
    ForgetFramebuffers([id](GLuint tex, GLuint) { return id && tex == id; });
    if (t->glTexture) glDeleteTextures(1, &t->glTexture);
    t->glTexture = 0;
}

bool CreateDepth(Surface* s)
{
    glGenRenderbuffers(1, &s->glRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, s->glRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, s->width, s->height);
    return glGetError() == GL_NO_ERROR;
}

void DestroyDepth(Surface* s)
{
    GLuint id = s->glRenderbuffer;
    ForgetFramebuffers([id](GLuint, GLuint depth) { return depth == id; });
    if (s->glRenderbuffer) glDeleteRenderbuffers(1, &s->glRenderbuffer);
    s->glRenderbuffer = 0;
}

void ClearGL(const DeviceState& st, uint32_t flags, uint32_t argb, float z)
{
    BindTargets(st);
    const Viewport& vp = st.viewport;
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(vp.x), static_cast<GLint>(vp.y), static_cast<GLsizei>(vp.width),
              static_cast<GLsizei>(vp.height));
    GLbitfield mask = 0;
    if (flags & CLEAR_TARGET) {
        float c[4];
        ColorOf(argb, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & CLEAR_ZBUFFER) && st.depthTarget) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) glClear(mask);
    glDisable(GL_SCISSOR_TEST);
}

void DrawBatch(const DeviceState& st, PrimitiveType type, const BatchVertex* v, uint32_t count,
               Texture* const* textures, uint32_t textureCount)
{
    ApplyRaster(st);
    bool points = type == PT_POINTLIST;
    if (st.effect) SetEffectUniforms(st);
    else SetFixedUniforms(st, points, MatIdentity(), textures, textureCount);
    glBindVertexArray(gBatchVao);
    glBindBuffer(GL_ARRAY_BUFFER, gBatchVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(BatchVertex)), v,
                 GL_STREAM_DRAW);
    glDrawArrays(points ? GL_POINTS : GL_TRIANGLES, 0, static_cast<GLsizei>(count));
}

bool CreateMeshGL(Mesh* m)
{
    glGenVertexArrays(1, &m->glVao);
    glGenBuffers(1, &m->glVbo);
    glGenBuffers(1, &m->glIbo);
    glBindVertexArray(m->glVao);
    glBindBuffer(GL_ARRAY_BUFFER, m->glVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m->vertices.size()), m->vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m->glIbo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m->drawIndices.size() * 4),
                 m->drawIndices.data(), GL_STATIC_DRAW);
    GLsizei stride = static_cast<GLsizei>(m->stride);
    size_t off = 0;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, (void*)off);
    off += 12;
    float flags = 0;
    if (m->fvf & FVF_NORMAL) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, (void*)off);
        off += 12;
        flags += 2;
    }
    if (m->fvf & FVF_DIFFUSE) {
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, (void*)off);
        off += 4;
        flags += 1;
    }
    if (m->fvf & FVF_TEX1) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, (void*)off);
    }
    (void)flags;
    glBindVertexArray(0);
    return glGetError() == GL_NO_ERROR;
}

void DestroyMesh(Mesh* m)
{
    if (m->glVao) glDeleteVertexArrays(1, &m->glVao);
    if (m->glVbo) glDeleteBuffers(1, &m->glVbo);
    if (m->glIbo) glDeleteBuffers(1, &m->glIbo);
    m->glVao = m->glVbo = m->glIbo = 0;
}

void DrawMeshGL(const DeviceState& st, Mesh* m, const SubsetRange& r)
{
    ApplyRaster(st);
    Texture* texture = st.texture;
    if (st.effect) SetEffectUniforms(st);
    else SetFixedUniforms(st, false, st.world, &texture, 1);
    glBindVertexArray(m->glVao);
    // Attributes the mesh lacks read as constants: no colour, no normal.
    if (!(m->fvf & FVF_NORMAL)) glVertexAttrib3f(1, 0, 0, 0);
    if (!(m->fvf & FVF_DIFFUSE)) glVertexAttrib4f(2, 1, 1, 1, 1);
    if (!(m->fvf & FVF_TEX1)) glVertexAttrib2f(3, 0, 0);
    glVertexAttrib1f(4, 1.0f);
    glVertexAttrib1f(5, static_cast<float>(((m->fvf & FVF_DIFFUSE) ? 1 : 0) |
                                           ((m->fvf & FVF_NORMAL) ? 2 : 0)));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(r.indexCount), GL_UNSIGNED_INT,
                   (void*)(static_cast<size_t>(r.firstIndex) * 4));
    glBindVertexArray(0);
}

bool CompileEffect(Effect* fx, std::string* errors)
{
    std::string uniforms;
    for (const EffectParam& p : fx->params) {
        const char* t = p.type == ParamType::Matrix   ? "mat4"
                        : p.type == ParamType::Vector ? "vec4"
                        : p.type == ParamType::Float  ? "float"
                                                      : "sampler2D";
        uniforms += std::string("uniform ") + t + " " + p.name + ";\n";
    }
    for (EffectTechnique& t : fx->techniques) {
        for (size_t i = 0; i < t.passes.size(); ++i) {
            EffectPass& pass = t.passes[i];
            std::string vs = "#version 330 core\n" + uniforms +
                             "layout(location = 0) in vec3 inPosition;\n"
                             "layout(location = 1) in vec3 inNormal;\n"
                             "layout(location = 2) in vec4 inColor;\n"
                             "layout(location = 3) in vec2 inTexCoord;\n"
                             "#define main effect_main\n#line 1\n" +
                             pass.vertexSource + "\n#undef main\nvoid main()\n{\n    effect_main();\n" +
                             kClipFix + "}\n";
            std::string fs = "#version 330 core\n" + uniforms + "out vec4 outColor;\n#line 1\n" +
                             pass.fragmentSource;
            std::string log;
            pass.glProgram = Link(vs, fs, &log);
            if (!pass.glProgram) {
                *errors += fx->path + ": technique " + t.name + " pass " + std::to_string(i) +
                           ":\n" + log;
                return false;
            }
            pass.uniformLocations.clear();
            for (const EffectParam& p : fx->params)
                pass.uniformLocations.push_back(glGetUniformLocation(pass.glProgram, p.name.c_str()));
        }
    }
    return true;
}

void DestroyEffect(Effect* fx)
{
    for (EffectTechnique& t : fx->techniques)
        for (EffectPass& p : t.passes)
            if (p.glProgram) glDeleteProgram(p.glProgram);
}

bool PresentGL()
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(gWindow, &w, &h);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gBackFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // Row 0 of the back buffer is the top of the picture: blit it upside down.
    glBlitFramebuffer(0, 0, static_cast<GLint>(gBackW), static_cast<GLint>(gBackH), 0, h, w, 0,
                      GL_COLOR_BUFFER_BIT, (w == static_cast<int>(gBackW) && h == static_cast<int>(gBackH)) ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(gWindow);
    // OpenGL has no lost device to report: a present always succeeds, so the
    // reset that follows a failed present never throws away a new resolution.
    return true;
}

void FinishGL() { glFinish(); }

bool ReadSurfaceGL(const DeviceState&, Surface* s, std::vector<uint32_t>* argb,
                   std::vector<float>* floats)
{
    GLuint fbo = s->kind == Surface::BackBuffer ? gBackFbo : FramebufferFor(s, nullptr);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    size_t n = static_cast<size_t>(s->width) * s->height;
    if (s->format == FMT_R32F) {
        std::vector<float> red(n);
        glReadPixels(0, 0, s->width, s->height, GL_RED, GL_FLOAT, red.data());
        if (argb) {
            argb->resize(n);
            for (size_t i = 0; i < n; ++i) {
                float v = red[i] < 0 ? 0 : red[i] > 1 ? 1 : red[i];
                uint32_t g = static_cast<uint32_t>(v * 255.0f + 0.5f);
                (*argb)[i] = 0xFF000000u | g << 16 | g << 8 | g;
            }
        }
        if (floats) *floats = std::move(red);
    } else {
        std::vector<uint32_t> px(n);
        glReadPixels(0, 0, s->width, s->height, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
        if (floats) floats->clear();
        if (argb) *argb = std::move(px);
    }
    return glGetError() == GL_NO_ERROR;
}

}  // namespace

const DeviceBackend kGLBackend = {
    Init,         Shutdown,     Resize,     DisplayFormat, CreateTextureGL, UploadTexture,
    DestroyTexture, CreateDepth, DestroyDepth, ClearGL,     DrawBatch,       CreateMeshGL,
    DestroyMesh,  DrawMeshGL,   CompileEffect, DestroyEffect, PresentGL,     ReadSurfaceGL,
    FinishGL,
};

}  // namespace gfx
