// A frozen look: whatever the paint, the surface turns to pale ice, deeper
// blue in its shade, white at the rims, frosted in patches, with crystals
// and a cold glint where the light catches it.  Fogged as the fixed-function
// path fogs (the device's linear fog by view depth, per vertex), so a frozen
// unit fades into the distance like everything around it.
@param matrix matWVP
@param matrix matWorld
@param vector Diffuse
@param vector vecEye
@param vector vecLightDir

@technique tecIce
@pass
@vertex
out vec3 worldPos;
out vec3 worldNormal;
out float fog;
void main()
{
    vec4 p = vec4(inPosition, 1.0);
    vec4 world = matWorld * p;
    worldPos = world.xyz;
    worldNormal = (matWorld * vec4(inNormal, 0.0)).xyz;
    float depth = (DeviceView * world).z;
    fog = DeviceFog.x > 0.0 ? clamp((DeviceFog.z - depth) / (DeviceFog.z - DeviceFog.y), 0.0, 1.0) : 1.0;
    gl_Position = matWVP * p;
}
@fragment
in vec3 worldPos;
in vec3 worldNormal;
in float fog;
// A repeatable value in 0..1 for a cell of space.
float Cell(vec3 c)
{
    return fract(sin(dot(c, vec3(12.9898, 78.233, 37.719))) * 43758.5453);
}
void main()
{
    vec3 n = worldNormal;
    vec3 N = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0, 1.0, 0.0);
    vec3 V = normalize(vecEye.xyz - worldPos);
    vec3 L = -normalize(vecLightDir.xyz);
    float facing = max(dot(N, V), 0.0);
    float rim = pow(1.0 - facing, 2.0);
    float diffuse = max(dot(N, L), 0.0);
    float glint = pow(max(dot(N, normalize(L + V)), 0.0), 48.0);
    // Pale ice over every paint: a light, faintly tinted body, bluer and
    // deeper where the light does not reach, white towards the rims, with
    // frosted patches and crystals that catch the light.
    vec3 tint = mix(vec3(1.0), Diffuse.rgb, 0.2);
    vec3 lit = vec3(0.80, 0.90, 0.97) * tint;
    vec3 deep = vec3(0.42, 0.60, 0.80) * tint;
    vec3 ice = mix(deep, lit, 0.3 + 0.7 * diffuse);
    float frost = Cell(floor(worldPos * 3.0));
    ice *= 0.9 + 0.14 * frost;
    float crystal = step(0.94, Cell(floor(worldPos * 14.0)));
    vec3 colour = mix(ice, vec3(1.0), rim * 0.75) + vec3(glint + crystal * 0.3 * (0.4 + diffuse));
    outColor = vec4(mix(DeviceFogColor.rgb, min(colour, vec3(1.0)), fog), 0.72 + 0.28 * rim);
}
@end
