// the least effect
@param matrix World
@param vector Tint
@param float Strength
@param texture Base
@technique Plain
@pass
@vertex
void main() { gl_Position = World * vec4(inPosition, 1.0); }
@fragment
void main() { outColor = Tint; }
@end
@technique Second
@pass
@vertex
void main() { gl_Position = vec4(0.0); }
@fragment
void main() { outColor = vec4(1.0); }
@end
