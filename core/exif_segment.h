// Carrying a JPEG's EXIF block (its APP1 segment) over to a newly written JPEG.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

/// The file's EXIF block: the first APP1 segment with the "Exif\0\0" signature among the
/// application segments (APP0 to APP15) that follow the start-of-image marker, before any
/// other segment; failing that, an APP1 standing first whatever it holds. The block is FF
/// E1, the two length bytes and the segment body (length L counts its own two bytes; the
/// block holds L + 2 bytes). Empty when the file cannot be read, is no JPEG, or has no such
/// segment; a length field below 2 or running past the end of the file ends the search.
std::vector<uint8_t> read_exif_segment(const std::string& path);

/// Sets the link from IFD0 to IFD1 (the old embedded thumbnail) to 0 in a block from
/// read_exif_segment. A block without a valid TIFF header ("II" or "MM", then 42) or whose
/// IFD0 offset or entry count points outside the block is left unchanged.
void cut_ifd_link(std::vector<uint8_t>& block);

/// Sets the Orientation tag (0x0112) of IFD0 to 1 (top-left) in a block from
/// read_exif_segment, for pixels written as shown (upright) rather than as the block's file
/// stored them; every other byte stays. A block without a valid TIFF header, with an IFD0 outside
/// the block, or without a single-SHORT Orientation entry is left unchanged.
void set_orientation_normal(std::vector<uint8_t>& block);

/// When the JPEG at path starts FF D8 and its next marker is not FF E1, rewrites it as
/// FF D8, the block (IFD1 link cut) and the rest of the file, through a temporary file
/// beside it. Returns true when the block was inserted; false leaves the file as it was
/// (unreadable file, no JPEG, already an APP1, empty block). Throws Write_error when the
/// rewritten file cannot be stored.
bool insert_exif_segment(const std::string& path, const std::vector<uint8_t>& block);
