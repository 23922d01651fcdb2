// Where batch HDR creation writes: the file types offered for the HDR image and its
// tone-mapped copy, and the numbered output names.
#pragma once
#include <cstdint>
#include <string>

/// One item of "HDR Save Type:" or "LDR Save Type:": its label, type code and extension.
struct Output_type {
  const char* item;
  uint32_t type;
  const char* extension;
};

/// By "HDR Save Type:" index.
extern const Output_type k_hdr_output_types[4];
/// By "LDR Save Type:" index.
extern const Output_type k_ldr_output_types[3];

/// The type of a choice index; an index outside the table (nothing selected) gives the
/// first entry (OpenEXR, JPEG).
const Output_type& hdr_output_type(int index);
const Output_type& ldr_output_type(int index);

/// folder + separator + base + k + extension, the separator "/" unless folder is empty or
/// already ends in '/' or '\\'. Groups count from 0.
std::string numbered_output_path(const std::string& folder, const std::string& base, uint64_t k,
                                 const char* extension);
