// Image files as the reference host reads and writes them, through OpenImageIO.
//
// In memory an image is float RGBA, row 0 at the top, as the host hands it to effectors. Reading:
// a missing alpha reads as 1, a single channel (or grey and alpha) as grey in red, green and
// blue; channels beyond those are kept aside and written back untouched where the output format
// can hold them. Float files (EXR half or float, Radiance HDR, float TIFF) carry linear values as
// they are, unclamped; 8- and 16-bit files (PNG, JPEG, integer TIFF) are decoded from sRGB on
// reading and encoded to sRGB, clamped to 0..1, on writing. Alpha and extra channels are never
// sRGB-coded, and colour is never premultiplied or divided by alpha: values are carried as the
// file stores them. The input's metadata travels with it where the output format can carry it.
#pragma once

#include <OpenImageIO/imageio.h>

#include <string>
#include <vector>

namespace zeb::host {

struct ImageFile {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<float> rgba;  // 4 floats per pixel, rows from the top

  bool has_alpha = false;                // the file had an alpha channel
  std::vector<std::string> extra_names;  // channels kept aside, in file order
  std::vector<float> extra;              // extra_names.size() floats per pixel
  OIIO::ImageSpec header;                // the file's description and metadata
  std::string format_name;               // OpenImageIO's name of the file format, e.g. "openexr"
};

// A black, opaque image of that size, with no file behind it.
ImageFile make_image(int32_t width, int32_t height);

// Throws std::runtime_error naming the file: missing, unreadable, an unknown format, or an image
// the host cannot take (deep data, no pixels, larger than 2^31 pixels per side).
ImageFile read_image_file(const std::string& path);

struct WriteOptions {
  // The values are display codes 0..1 already, not linear light: an 8/16-bit output takes them
  // as they are, without sRGB encoding (pictures made for looking at, like log-scaled plots).
  bool display_referred = false;
};

// Throws std::runtime_error naming the file when path's extension names no format OpenImageIO
// can write, or its folder does not exist. Checked before any work is done.
void check_writable_image_path(const std::string& path);

// Writes the whole image or nothing: through a temporary file beside path, renamed into place.
// Returns the notes worth telling the user (alpha or extra channels the format cannot hold).
std::vector<std::string> write_image_file(const std::string& path, const ImageFile& image,
                                          const WriteOptions& options = {});

// True when a fresh image written to path keeps float values (EXR, HDR, TIFF), false when it is
// coded in 8 or 16 bits. Throws like check_writable_image_path.
bool writes_float(const std::string& path);

float srgb_to_linear(float code);
float linear_to_srgb(float value);

}  // namespace zeb::host
