#version 440
// The fisheye lens: for each pixel of the band, the point of the undistorted band to show there.
// Inside the ellipse inscribed in the band, with u the offset from the centre in half-band units
// and r = |u|, the source is centre + u * (1 - strength * (1 - r)^falloff) half-bands; the rim
// and everything outside stay where they are. No sample lies further than maxOffset of the band
// from its pixel. Kept in step with fisheye_lens::sourcePoint.

layout(location = 0) in vec2 qt_TexCoord0;
layout(location = 0) out vec4 fragColor;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float qt_Opacity;
    vec2 bandSize;
    float strength;
    float falloff;
    float maxOffset;
};

layout(binding = 1) uniform sampler2D source;

void main()
{
    vec2 destination = qt_TexCoord0 * bandSize;
    vec2 half_ = 0.5 * bandSize;
    vec2 u = (destination - half_) / half_;
    float r = length(u);
    vec2 point = destination;
    if (r < 1.0 && falloff > 0.0) {
        float pull = 1.0 - strength * pow(1.0 - r, falloff);
        vec2 sourcePoint = half_ + u * pull * half_;
        vec2 reach = maxOffset * bandSize;
        point = clamp(sourcePoint, destination - reach, destination + reach);
    }
    fragColor = texture(source, point / bandSize) * qt_Opacity;
}
