// Shader sources of the HDR-monitor output (see the header).
#include "viewer/ogl_shaders.h"

const char* const k_hdr_vertex_shader = R"(#version 460 core
layout(location = 0) in vec4 inVertex;
out vec2 fragTexCoord;

void main() {
  gl_Position = inVertex;
  // Window top (y = 1) reads texture row 0, the image's first row.
  fragTexCoord = vec2((inVertex.x + 1.0) / 2.0, (1.0 - inVertex.y) / 2.0);
}
)";

const char* const k_hdr_encoding_shader = R"(#version 460 core
in vec2 fragTexCoord;
out vec4 fragColor;

uniform sampler2D texture0;
// The window's size in pixels: an axis where it equals the image's is shown 1:1.
uniform ivec2 windowSize;
layout(std140, binding = 0) uniform myUniforms {
  float LUMINANCE_BOOST;
  float gammaFactor;
};

// Linear sRGB (D65) to CIE XYZ; GLSL matrices are given column by column.
const mat3 sRGB2XYZ = mat3(0.4124564, 0.2126729, 0.0193339,
                           0.3575761, 0.7151522, 0.1191920,
                           0.1804375, 0.0721750, 0.9503041);

// The display's width in pixels: parity and the neighbour step follow it.
const float COLUMNS = 1920.0;

vec3 RGBtoXYZ(vec3 rgb) { return sRGB2XYZ * rgb; }

// Black has no chromaticity of its own; it reads as the darkest grey, the white point,
// so that its 0 / 0 never reaches a neighbour's average.
vec3 chromatic(vec3 c) {
  return c.x + 15.0 * c.y + 3.0 * c.z > 0.0 ? c : RGBtoXYZ(vec3(1.0));
}
// 4 * (406.671875 u' + 0.546875) with u' = 4X / (X + 15Y + 3Z): a 10-bit code.
float XYZtou(vec3 xyz) {
  vec3 c = chromatic(xyz);
  return (1626.6875 * c.x / (c.x + 15.0 * c.y + 3.0 * c.z) + 0.546875) * 4.0;
}
// The same for v' = 9Y / (X + 15Y + 3Z).
float XYZtov(vec3 xyz) {
  vec3 c = chromatic(xyz);
  return (3660.046875 * c.y / (c.x + 15.0 * c.y + 3.0 * c.z) + 0.546875) * 4.0;
}

// The image at a texture coordinate, clamped to the edge texels. The display decodes each
// byte as an exact code, so along an axis shown 1:1 the texel under the point is read
// alone: a filtered sample lands a little off the texel centre and takes in part of the
// neighbour. Only a stretched axis interpolates between texel centres.
vec3 image_at(vec2 at) {
  ivec2 size = textureSize(texture0, 0);
  if (size.x < 1 || size.y < 1) return vec3(0.0);
  vec2 p = at * vec2(size);
  bvec2 exact = equal(size, windowSize);
  vec2 first = mix(floor(p - 0.5), floor(p), exact);
  vec2 f = mix(p - 0.5 - first, vec2(0.0), exact);  // weight of the second texel
  ivec2 i0 = clamp(ivec2(first), ivec2(0), size - 1);
  ivec2 i1 = clamp(ivec2(first) + 1, ivec2(0), size - 1);
  vec3 top = texelFetch(texture0, i0, 0).rgb * (1.0 - f.x) +
             texelFetch(texture0, ivec2(i1.x, i0.y), 0).rgb * f.x;
  vec3 bottom = texelFetch(texture0, ivec2(i0.x, i1.y), 0).rgb * (1.0 - f.x) +
                texelFetch(texture0, i1, 0).rgb * f.x;
  return top * (1.0 - f.y) + bottom * f.y;
}

vec3 boosted_xyz(vec2 at) { return RGBtoXYZ(image_at(at) * LUMINANCE_BOOST); }

void main() {
  int column = int(fragTexCoord.s * COLUMNS);
  bool odd = column % 2 == 1;
  vec2 step = vec2(1.0 / COLUMNS, 0.0);

  vec3 here = boosted_xyz(fragTexCoord);
  float Y = here.y;
  float u = XYZtou(here);
  float v = XYZtov(here);
  // The codes, not the colours, are averaged with the horizontal neighbours; the two
  // edge columns have only one.
  if (column == 0) {
    vec3 right = boosted_xyz(fragTexCoord + step);
    u = (u + XYZtou(right)) / 2.0;
    v = (v + XYZtov(right)) / 2.0;
  } else if (column == 1919) {
    vec3 left = boosted_xyz(fragTexCoord - step);
    u = (u + XYZtou(left)) / 2.0;
    v = (v + XYZtov(left)) / 2.0;
  } else {
    vec3 left = boosted_xyz(fragTexCoord - step);
    vec3 right = boosted_xyz(fragTexCoord + step);
    u = (u + XYZtou(left) + XYZtou(right)) / 3.0;
    v = (v + XYZtov(left) + XYZtov(right)) / 3.0;
  }

  // 13-bit log luminance: 0.0376 per stop around Y = 1 at the middle of the range.
  float l = Y < 0.00001 ? 0.0 : 0.0376 * log2(Y) + 0.5;
  float L = clamp(floor((253.0 * l + 1.0) * 32.0 + 0.5), 32.0, 8159.0);
  float Lh = floor(L / 32.0);
  float Ll = L - 32.0 * Lh;

  // Even columns carry v, odd ones u.
  float C = clamp(floor((odd ? u : v) + 0.5), 4.0, 1019.0);
  float Ch = floor(C / 4.0);
  float Cl = C - 4.0 * Ch;

  float low = clamp(Ll * 8.0 + Cl * 2.0, 1.0, 254.0);
  vec3 bytes = odd ? vec3(Ch, Lh, low) : vec3(low, Lh, Ch);
  fragColor = vec4(bytes / 255.0, 1.0);
}
)";
