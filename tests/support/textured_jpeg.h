// Photograph-like JPEG fixtures for decoder and thumbnail tests, and a byte hash that pins
// decoded values.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// w x h interleaved samples (components per pixel) with gradients, edges and noise in
/// every component, so that colour conversion, chroma upsampling and block edges all show
/// in the decoded values.
std::vector<uint8_t> textured_samples(uint32_t w, uint32_t h, int components);

/// Writes textured_samples as a JPEG (quality 85; components 1, 3 or 4) at path.
void write_textured_jpeg(const std::string& path, uint32_t w, uint32_t h, int components,
                         bool progressive = false);

/// The JPEG's bytes cut short halfway through the data of its last scan, so that the
/// header and tables stay whole and libjpeg decodes the file with its "Premature end"
/// warning. The bytes unchanged when they hold no scan.
std::string cut_in_scan(const std::string& jpeg);

/// FNV-1a (64-bit) of size bytes.
uint64_t fnv1a(const void* bytes, size_t size);
