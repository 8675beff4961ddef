// Shadow mapping for the battle scene and the unit previews.
//   tecMakeDepthTexture  writes each surface's light-space depth into the shadow texture
//   tecRenderScene       draws a surface as the fixed-function path would (the
//                        device's light 0, ambient and material, its linear fog)
//                        and darkens what the shadow texture says is hidden
// The shadow texture is sampled through matWLPT (light projection times the bias
// matrix); TexWidth and TexHeight give its size, for the filter over the
// four nearest texels.  Depth is
// stored as the distance along the light's view over 1000 units, so a cleared
// texture (1.0) is far away and nearby surfaces keep a float's full precision.
// Lit and fogged like the fixed-function path, a ground cell drawn here meets
// its plainly drawn neighbour without a seam; vecLightDir is kept for the
// game to set, but the light that shades is the device's own.  The depth
// pass is never fogged: it writes distances, not colours.
@param matrix matWCP
@param matrix matWLP
@param matrix matWLPT
@param matrix matW
@param vector vecLightDir
@param vector vecEye
@param vector Diffuse
@param float TexWidth
@param float TexHeight
@param texture MeshTex
@param texture DepthTex

@technique tecMakeDepthTexture
@pass
@vertex
out float depth;
void main()
{
    vec4 p = matWLP * vec4(inPosition, 1.0);
    depth = p.w / 1000.0;
    gl_Position = p;
}
@fragment
in float depth;
void main()
{
    outColor = vec4(depth, depth, depth, 1.0);
}
@end

@technique tecRenderScene
@pass
@vertex
out vec2 uv;
out vec4 shadowCoord;
out vec4 lightClip;
out vec4 colour;        // the vertex colour: the diffuse reflectance, and unlit the colour
out vec3 lightDiffuse;  // light 0's diffuse share, before the shadow
out vec3 specular;
out float fog;          // 1 clear, 0 all fog colour
void main()
{
    vec4 p = vec4(inPosition, 1.0);
    vec4 world = matW * p;
    vec3 n = (matW * vec4(inNormal, 0.0)).xyz;
    vec3 N = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0);
    // Lighting per vertex, as the fixed-function path lights.
    float ndl = DeviceLight.w > 0.0 ? max(dot(N, DeviceLight.xyz), 0.0) : 0.0;
    colour = inColor;
    lightDiffuse = DeviceLightDiffuse.rgb * inColor.rgb * ndl;
    specular = vec3(0.0);
    if (ndl > 0.0) {
        vec3 V = normalize(vecEye.xyz - world.xyz);
        vec3 H = normalize(DeviceLight.xyz + V);
        specular = DeviceLightSpecular.rgb * pow(max(dot(N, H), 0.0), DeviceLightSpecular.w);
    }
    // Linear fog by view depth, per vertex.
    float depth = (DeviceView * world).z;
    fog = DeviceFog.x > 0.0 ? clamp((DeviceFog.z - depth) / (DeviceFog.z - DeviceFog.y), 0.0, 1.0) : 1.0;
    uv = inTexCoord;
    shadowCoord = matWLPT * p;
    lightClip = matWLP * p;
    gl_Position = matWCP * p;
}
@fragment
in vec2 uv;
in vec4 shadowCoord;
in vec4 lightClip;
in vec4 colour;
in vec3 lightDiffuse;
in vec3 specular;
in float fog;
// The share of light at a point: the four texels round it each compared
// with the surface's depth, and the four answers blended by the point's
// place between their centres, so a shadow's edge is a smooth ramp one
// texel wide.  Four reads of the texture rather than a 3 x 3 filter's nine.
float Lit(vec2 at, float depth)
{
    if (at.x < 0.0 || at.x > 1.0 || at.y < 0.0 || at.y > 1.0) return 1.0;
    ivec2 size = ivec2(int(TexWidth), int(TexHeight));
    vec2 t = at * vec2(size) - 0.5;
    ivec2 c = ivec2(floor(t));
    vec2 f = t - vec2(c);
    ivec2 c0 = clamp(c, ivec2(0), size - 1), c1 = clamp(c + 1, ivec2(0), size - 1);
    float d = depth - 0.0002;
    float l00 = d <= texelFetch(DepthTex, c0, 0).r ? 1.0 : 0.0;
    float l10 = d <= texelFetch(DepthTex, ivec2(c1.x, c0.y), 0).r ? 1.0 : 0.0;
    float l01 = d <= texelFetch(DepthTex, ivec2(c0.x, c1.y), 0).r ? 1.0 : 0.0;
    float l11 = d <= texelFetch(DepthTex, c1, 0).r ? 1.0 : 0.0;
    return mix(mix(l00, l10, f.x), mix(l01, l11, f.x), f.y);
}
void main()
{
    vec4 base = dot(Diffuse, Diffuse) > 0.0 ? Diffuse : texture(MeshTex, uv);
    float lit = 1.0;
    if (shadowCoord.w > 0.0 && TexWidth > 1.0) lit = Lit(shadowCoord.xy / shadowCoord.w, lightClip.w / 1000.0);
    // In shadow a surface keeps half the light: lit, half of light 0's share;
    // unlit, half its colour.
    float shade = mix(0.5, 1.0, lit);
    vec3 light = DeviceAmbient.w > 0.0 ? clamp(DeviceAmbient.rgb + lightDiffuse * shade, 0.0, 1.0)
                                       : colour.rgb * shade;
    vec3 c = min(base.rgb * light + specular * lit, vec3(1.0));
    outColor = vec4(mix(DeviceFogColor.rgb, c, fog), base.a * colour.a);
}
@end
