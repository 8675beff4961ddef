// Shadow mapping for the battle scene and the unit previews.
//   tecMakeDepthTexture  writes each surface's light-space depth into the shadow texture
//   tecRenderScene       lights the scene and darkens what the shadow texture says is hidden
// The shadow texture is sampled through matWLPT (light projection times the bias
// matrix); TexWidth and TexHeight give its size for the 3 x 3 filter.  Depth is
// stored as the distance along the light's view over 1000 units, so a cleared
// texture (1.0) is far away and nearby surfaces keep a float's full precision.
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
out vec3 worldPos;
out vec3 worldNormal;
out vec2 uv;
out vec4 shadowCoord;
out vec4 lightClip;
void main()
{
    vec4 p = vec4(inPosition, 1.0);
    worldPos = (matW * p).xyz;
    worldNormal = (matW * vec4(inNormal, 0.0)).xyz;
    uv = inTexCoord;
    shadowCoord = matWLPT * p;
    lightClip = matWLP * p;
    gl_Position = matWCP * p;
}
@fragment
in vec3 worldPos;
in vec3 worldNormal;
in vec2 uv;
in vec4 shadowCoord;
in vec4 lightClip;
float Lit(vec2 at, float depth)
{
    if (at.x < 0.0 || at.x > 1.0 || at.y < 0.0 || at.y > 1.0) return 1.0;
    return depth - 0.0002 <= texture(DepthTex, at).r ? 1.0 : 0.0;
}
void main()
{
    vec4 base = dot(Diffuse, Diffuse) > 0.0 ? Diffuse : texture(MeshTex, uv);
    vec3 n = worldNormal;
    vec3 N = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0, 1.0, 0.0);
    vec3 L = normalize(vecLightDir.xyz);
    vec3 V = normalize(vecEye.xyz - worldPos);
    float diffuse = max(dot(N, L), 0.0);
    float specular = pow(max(dot(N, normalize(L + V)), 0.0), 24.0) * 0.25;

    float lit = 1.0;
    if (shadowCoord.w > 0.0 && TexWidth > 1.0) {
        vec2 at = shadowCoord.xy / shadowCoord.w;
        float depth = lightClip.w / 1000.0;
        vec2 texel = vec2(1.0 / TexWidth, 1.0 / TexHeight);
        float sum = 0.0;
        for (int y = -1; y <= 1; ++y)
            for (int x = -1; x <= 1; ++x) sum += Lit(at + vec2(x, y) * texel, depth);
        lit = sum / 9.0;
    }
    float shade = mix(0.5, 1.0, lit);
    vec3 colour = base.rgb * (0.38 + 0.72 * diffuse * shade) + specular * lit;
    outColor = vec4(min(colour, vec3(1.0)), base.a);
}
@end
