// A frozen look: the surface turns to pale translucent ice with bright rims
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
void main()
{
    vec3 n = worldNormal;
    vec3 N = dot(n, n) > 0.0 ? normalize(n) : vec3(0.0, 1.0, 0.0);
    vec3 V = normalize(vecEye.xyz - worldPos);
    vec3 L = -normalize(vecLightDir.xyz);
    float rim = pow(1.0 - max(dot(N, V), 0.0), 2.0);
    float diffuse = max(dot(N, L), 0.0);
    float glint = pow(max(dot(N, normalize(L + V)), 0.0), 40.0);
    vec3 ice = mix(Diffuse.rgb * 0.55 + vec3(0.25, 0.3, 0.35), vec3(1.0), rim * 0.8);
    vec3 colour = ice * (0.55 + 0.45 * diffuse) + vec3(glint);
    outColor = vec4(mix(DeviceFogColor.rgb, min(colour, vec3(1.0)), fog), 0.72 + 0.28 * rim);
}
@end
