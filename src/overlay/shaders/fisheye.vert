#version 440
// The fisheye lens, worked out at the corners of a fine grid over the lens: each corner stays
// where it is on screen and takes as its texture coordinate the point of the undistorted band to
// show there. The rasteriser interpolates between corners, so the fragment stage is a plain
// texture read; per pixel the mapping would cost the software rasteriser most of a frame.
// Inside the ellipse inscribed in the band, with u the offset from the centre in half-band units
// and r = |u|, the source is centre + u * (1 - strength * (1 - r)^falloff) half-bands; the rim
// and everything outside stay where they are. No sample lies further than maxOffset of the band
// from its point. Kept in step with fisheye_lens::sourcePoint.
//
// The effect covers only the part of the band where the picture shows through the lens
// (lensOrigin, lensSize), and the picture is rendered only where it has something
// (sourceOrigin, sourceSize), all in band coordinates.

layout(location = 0) in vec4 qt_Vertex;
layout(location = 1) in vec2 qt_MultiTexCoord0;
layout(location = 0) out vec2 sourceUv;

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

out gl_PerVertex { vec4 gl_Position; };

void main()
{
    vec2 destination = lensOrigin + qt_MultiTexCoord0 * lensSize;
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
    sourceUv = (point - sourceOrigin) / sourceSize;
    gl_Position = qt_Matrix * qt_Vertex;
}
