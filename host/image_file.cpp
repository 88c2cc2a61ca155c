#include "host/image_file.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <stdexcept>

#include "host/atomic_file.hpp"

namespace zeb::host {
namespace fs = std::filesystem;
namespace {

// OpenImageIO's messages may span lines; the host reports one line per problem.
std::string one_line(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text.empty() ? std::string("unknown reason") : text;
}

bool is_float_type(OIIO::TypeDesc type) {
  return type.basetype == OIIO::TypeDesc::HALF || type.basetype == OIIO::TypeDesc::FLOAT ||
         type.basetype == OIIO::TypeDesc::DOUBLE;
}

int channel_named(const OIIO::ImageSpec& header, const char* name) {
  for (int c = 0; c < header.nchannels; ++c) {
    if (c < static_cast<int>(header.channelnames.size()) && header.channelnames[c] == name)
      return c;
  }
  return -1;
}

// The pixel type written for a format: float formats keep the input's precision, integer formats
// keep its depth, and an image without a file behind it is written as float or 8-bit.
OIIO::TypeDesc output_type(const std::string& format, const ImageFile& image) {
  const OIIO::TypeDesc in = image.header.format;
  const bool from_file = !image.format_name.empty();
  if (format == "openexr")
    return from_file && in.basetype == OIIO::TypeDesc::HALF ? OIIO::TypeDesc::HALF
                                                            : OIIO::TypeDesc::FLOAT;
  if (format == "hdr") return OIIO::TypeDesc::FLOAT;
  if (format == "png")
    return from_file && in.basetype == OIIO::TypeDesc::UINT16 ? OIIO::TypeDesc::UINT16
                                                              : OIIO::TypeDesc::UINT8;
  if (format == "jpeg") return OIIO::TypeDesc::UINT8;
  if (format == "tiff") {
    if (!from_file) return OIIO::TypeDesc::FLOAT;
    if (in.basetype == OIIO::TypeDesc::DOUBLE) return OIIO::TypeDesc::FLOAT;
    if (is_float_type(in) || in.basetype == OIIO::TypeDesc::UINT16) return in;
    return OIIO::TypeDesc::UINT8;
  }
  return from_file ? in : OIIO::TypeDesc(OIIO::TypeDesc::UINT8);
}

// Metadata that describes how the input file was coded, not the picture, stays behind when the
// picture moves to another format or another coding.
bool keep_attribute(const std::string& name, const std::string& in_format,
                    const std::string& out_format, bool coding_changes) {
  if (name.rfind("oiio:", 0) == 0) return false;
  if (in_format != out_format) {
    if (name.rfind(in_format + ":", 0) == 0) return false;
    if (name == "compression" || name == "Compression") return false;
  }
  if (coding_changes && name == "ICCProfile") return false;
  return true;
}

float clamp_code(float value) {
  if (!(value > 0.0f)) return 0.0f;  // NaN as well
  return value < 1.0f ? value : 1.0f;
}

}  // namespace

float srgb_to_linear(float code) {
  if (code <= 0.04045f) return code / 12.92f;
  return std::pow((code + 0.055f) / 1.055f, 2.4f);
}

float linear_to_srgb(float value) {
  if (value <= 0.0031308f) return value * 12.92f;
  return 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
}

ImageFile make_image(int32_t width, int32_t height) {
  ImageFile image;
  image.width = width;
  image.height = height;
  image.rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0.0f);
  for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 1.0f;
  image.header = OIIO::ImageSpec(width, height, 4, OIIO::TypeDesc::FLOAT);
  return image;
}

ImageFile read_image_file(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) throw std::runtime_error(path + ": no such file");
  if (fs::is_directory(path, error)) throw std::runtime_error(path + ": is a folder, not an image");
  // Colour values are taken as the file stores them: no premultiplying of straight alpha on the
  // way in, none undone on the way out, so that a pass changes only what the effectors change.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto input = OIIO::ImageInput::open(path, &config);
  if (!input)
    throw std::runtime_error(path + ": cannot read the image: " + one_line(OIIO::geterror()));
  const OIIO::ImageSpec& header = input->spec();
  if (header.deep) throw std::runtime_error(path + ": deep images are not supported");
  if (header.width <= 0 || header.height <= 0 || header.depth > 1 || header.nchannels < 1)
    throw std::runtime_error(path + ": the image has no pixels the host can use");

  ImageFile image;
  image.width = header.width;
  image.height = header.height;
  image.header = header;
  image.format_name = input->format_name();
  const auto pixels =
      static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
  const auto channels = static_cast<std::size_t>(header.nchannels);
  std::vector<float> file(pixels * channels);
  if (!input->read_image(0, 0, 0, header.nchannels, OIIO::TypeDesc::FLOAT, file.data()))
    throw std::runtime_error(path + ": cannot decode the image: " + one_line(input->geterror()));

  int red = 0, green = 0, blue = 0;
  int alpha = header.alpha_channel;
  if (header.nchannels >= 3) {
    red = channel_named(header, "R");
    green = channel_named(header, "G");
    blue = channel_named(header, "B");
    if (red < 0 || green < 0 || blue < 0) red = 0, green = 1, blue = 2;
    if (alpha < 0) alpha = channel_named(header, "A");
  }
  if (alpha == red || alpha == green || alpha == blue) alpha = -1;
  image.has_alpha = alpha >= 0;
  std::vector<int> extras;
  for (int c = 0; c < header.nchannels; ++c) {
    if (c != red && c != green && c != blue && c != alpha) {
      extras.push_back(c);
      image.extra_names.push_back(c < static_cast<int>(header.channelnames.size())
                                      ? header.channelnames[c]
                                      : "channel " + std::to_string(c));
    }
  }

  const bool srgb = !is_float_type(header.format);
  image.rgba.resize(pixels * 4);
  image.extra.resize(pixels * extras.size());
  for (std::size_t p = 0; p < pixels; ++p) {
    const float* in = &file[p * channels];
    float* out = &image.rgba[p * 4];
    out[0] = in[red];
    out[1] = in[green];
    out[2] = in[blue];
    if (srgb) {
      for (int c = 0; c < 3; ++c) out[c] = srgb_to_linear(out[c]);
    }
    out[3] = alpha >= 0 ? in[alpha] : 1.0f;
    for (std::size_t e = 0; e < extras.size(); ++e)
      image.extra[p * extras.size() + e] = in[extras[e]];
  }
  return image;
}

void check_writable_image_path(const std::string& path) {
  const fs::path target(path);
  std::error_code error;
  if (target.filename().empty()) throw std::runtime_error(path + ": no file name");
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder, error))
    throw std::runtime_error(path + ": the folder " + folder.string() + " does not exist");
  if (fs::is_directory(target, error)) throw std::runtime_error(path + ": is a folder");
  auto output = OIIO::ImageOutput::create(path);
  if (!output) {
    OIIO::geterror();  // drop the pending message; ours names the extension
    throw std::runtime_error(path + ": cannot write images of this kind (extension \"" +
                             target.extension().string() + "\")");
  }
}

bool writes_float(const std::string& path) {
  check_writable_image_path(path);
  auto output = OIIO::ImageOutput::create(path);
  return is_float_type(output_type(output->format_name(), ImageFile{}));
}

std::vector<std::string> write_image_file(const std::string& path, const ImageFile& image,
                                          const WriteOptions& options) {
  check_writable_image_path(path);
  auto output = OIIO::ImageOutput::create(path);
  const std::string format = output->format_name();
  std::vector<std::string> notes;

  const bool want_alpha = image.has_alpha;
  const bool alpha = want_alpha && output->supports("alpha");
  if (want_alpha && !alpha)
    notes.push_back(path + ": the " + format + " format holds no alpha; alpha left out");
  const bool extras = !image.extra_names.empty() && output->supports("nchannels");
  if (!image.extra_names.empty() && !extras)
    notes.push_back(path + ": the " + format + " format holds no extra channels; " +
                    std::to_string(image.extra_names.size()) + " left out");

  const OIIO::TypeDesc type = output_type(format, image);
  const bool integer = !is_float_type(type);
  const int channels =
      3 + (alpha ? 1 : 0) + (extras ? static_cast<int>(image.extra_names.size()) : 0);
  OIIO::ImageSpec header(image.width, image.height, channels, type);
  header.channelnames = {"R", "G", "B"};
  if (alpha) {
    header.channelnames.push_back("A");
    header.alpha_channel = 3;
  }
  if (extras)
    header.channelnames.insert(header.channelnames.end(), image.extra_names.begin(),
                               image.extra_names.end());
  if (image.header.width == image.width && image.header.height == image.height) {
    header.x = image.header.x;
    header.y = image.header.y;
    header.full_x = image.header.full_x;
    header.full_y = image.header.full_y;
    header.full_width = image.header.full_width;
    header.full_height = image.header.full_height;
  }
  const bool coding_changes =
      image.format_name.empty() || is_float_type(image.header.format) != !integer;
  for (const OIIO::ParamValue& attribute : image.header.extra_attribs) {
    if (keep_attribute(attribute.name().string(), image.format_name, format, coding_changes))
      header.extra_attribs.push_back(attribute);
  }
  if (!options.display_referred) header.attribute("oiio:ColorSpace", integer ? "sRGB" : "Linear");
  if (alpha) header.attribute("oiio:UnassociatedAlpha", 1);

  const auto pixels =
      static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  const std::size_t extra_count = image.extra_names.size();
  std::vector<float> buffer(pixels * static_cast<std::size_t>(channels));
  float* out = buffer.data();
  for (std::size_t p = 0; p < pixels; ++p) {
    const float* in = &image.rgba[p * 4];
    for (int c = 0; c < 3; ++c) {
      float value = in[c];
      if (integer)
        value = clamp_code(options.display_referred ? value : linear_to_srgb(clamp_code(value)));
      *out++ = value;
    }
    if (alpha) *out++ = integer ? clamp_code(in[3]) : in[3];
    if (extras) {
      for (std::size_t e = 0; e < extra_count; ++e) {
        const float value = image.extra[p * extra_count + e];
        *out++ = integer ? clamp_code(value) : value;
      }
    }
  }

  AtomicFile file(path);
  if (!output->open(file.temporary(), header))
    throw std::runtime_error(path + ": cannot write the image: " + one_line(output->geterror()));
  if (!output->write_image(OIIO::TypeDesc::FLOAT, buffer.data()))
    throw std::runtime_error(path + ": cannot write the image: " + one_line(output->geterror()));
  if (!output->close())
    throw std::runtime_error(path + ": cannot write the image: " + one_line(output->geterror()));
  file.commit();
  return notes;
}

}  // namespace zeb::host
