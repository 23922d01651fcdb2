// What writing a file back in its own format would lose: the writers keep three colour
// channels, 8 bits per sample for PNG and 8-bit TIFF, 32-bit floats for float TIFF and
// OpenEXR.
#pragma once
#include <cstdint>
#include <string>

/// What rewriting the file at path as type (the code it was read as) would throw away,
/// told from the file itself: "its transparency (alpha channel)" for an alpha channel
/// that is not wholly opaque, "the precision of its N-bit samples" for samples wider than
/// the writer keeps; empty when nothing would be lost (an opaque alpha channel loses
/// nothing). Throws Read_error when the file cannot be read.
std::string rewrite_loss(const std::string& path, uint32_t type);

/// The alert of a batch that leaves such a file alone rather than write it back:
/// "Cannot <verb> '<path>'. Writing it back would lose <loss>."
std::string rewrite_loss_alert(const std::string& verb, const std::string& path,
                               const std::string& loss);

/// For a batch about to write the file over itself: true when the file must be left alone,
/// the user told once, with unreadable_alert when it cannot be read and with
/// rewrite_loss_alert when writing it back would lose what it holds.
bool refuse_lossy_rewrite(const std::string& verb, const std::string& path, uint32_t type,
                          const std::string& unreadable_alert);
