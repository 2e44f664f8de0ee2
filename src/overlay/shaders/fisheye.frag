#version 440
// The lens's pixels: the band's picture at the point the grid's corners worked out
// (fisheye.vert), and nothing where that point lies outside the rendered picture.

layout(location = 0) in vec2 sourceUv;
layout(location = 0) out vec4 fragColor;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float qt_Opacity;
    vec2 bandSize;
    float strength;
    float falloff;
    float maxOffset;
    vec2 lensOrigin;
    vec2 lensSize;
    vec2 sourceOrigin;
    vec2 sourceSize;
};

layout(binding = 1) uniform sampler2D source;

void main()
{
    if (any(lessThan(sourceUv, vec2(0.0))) || any(greaterThan(sourceUv, vec2(1.0))))
        fragColor = vec4(0.0);
    else
        fragColor = texture(source, sourceUv) * qt_Opacity;
}
