// The GLSL 4.60 sources of the HDR-monitor output: a full-window quad and the encoding
// of each pixel into 13-bit log luminance and interleaved 10-bit chroma codes.
#pragma once

/// Passes the quad's corners through and gives the texture coordinate, first image row
/// at the top of the window.
extern const char* const k_hdr_vertex_shader;
/// The encoding: even columns carry (low byte, luminance high, v high), odd columns
/// (u high, luminance high, low byte).
extern const char* const k_hdr_encoding_shader;
