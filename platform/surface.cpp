#include "platform/surface.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace platform {

Surface::Surface(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Surface::fill(Rgb c) { std::fill(pixels_.begin(), pixels_.end(), c); }

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

bool save_png(const Surface& s, const std::string& path, std::string* error) {
  File f(std::fopen(path.c_str(), "wb"));
  if (!f) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    if (error) *error = "out of memory writing " + path;
    return false;
  }
  std::vector<png_byte> line(static_cast<std::size_t>(s.width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error) *error = "cannot write " + path;
    return false;
  }
  png_init_io(png, f.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width()), static_cast<png_uint_32>(s.height()),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < s.height(); ++y) {
    const Rgb* r = s.row(y);
    for (int x = 0; x < s.width(); ++x) {
      line[3 * x + 0] = static_cast<png_byte>(r[x] >> 16);
      line[3 * x + 1] = static_cast<png_byte>(r[x] >> 8);
      line[3 * x + 2] = static_cast<png_byte>(r[x]);
    }
    png_write_row(png, line.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool load_png(const std::string& path, Surface* out, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    if (error) *error = "cannot read " + path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> buf(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buf.data(), 0, nullptr)) {
    if (error) *error = "cannot decode " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  Surface s(static_cast<int>(image.width), static_cast<int>(image.height));
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const png_byte* p = &buf[(static_cast<std::size_t>(y) * s.width() + x) * 3];
      s.row(y)[x] = rgb(p[0], p[1], p[2]);
    }
  }
  *out = std::move(s);
  return true;
}

}  // namespace platform
