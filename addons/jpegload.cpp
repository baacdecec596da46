#include "addons/jpegload.h"

#include <allegro.h>

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct PackSource {
  jpeg_source_mgr pub;
  PACKFILE* file;
  JOCTET buffer[4096];
};

struct ErrorTrap {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// Everything a failed decode must release lives here rather than in locals, so that the
// longjmp out of libjpeg leaves nothing behind.
struct Decoder {
  jpeg_decompress_struct info;
  ErrorTrap trap;
  PackSource source;
  BITMAP* bitmap;
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo)
{
  auto* source = reinterpret_cast<PackSource*>(cinfo->src);
  const long count = pack_fread(source->buffer, sizeof source->buffer, source->file);
  // A cut-off file is a damaged one: fail instead of padding it out to a grey image.
  if (count <= 0) ERREXIT(cinfo, JERR_INPUT_EOF);
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = static_cast<size_t>(count);
  return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count)
{
  jpeg_source_mgr* source = cinfo->src;
  while (count > static_cast<long>(source->bytes_in_buffer)) {
    count -= static_cast<long>(source->bytes_in_buffer);
    fillInput(cinfo);
  }
  if (count <= 0) return;
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<size_t>(count);
}

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
  std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

// libjpeg's default prints to stderr; the caller only learns "no image".
void quietMessage(j_common_ptr) {}

void attachSource(Decoder& d, PACKFILE* file)
{
  d.source.file = file;
  d.source.pub.init_source = initSource;
  d.source.pub.fill_input_buffer = fillInput;
  d.source.pub.skip_input_data = skipInput;
  d.source.pub.resync_to_restart = jpeg_resync_to_restart;
  d.source.pub.term_source = termSource;
  d.info.src = &d.source.pub;
}

void decode(Decoder& d)
{
  jpeg_read_header(&d.info, TRUE);
  d.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.info);
  const int width = static_cast<int>(d.info.output_width);
  d.bitmap = create_bitmap(width, static_cast<int>(d.info.output_height));
  if (!d.bitmap) ERREXIT(&d.info, JERR_OUT_OF_MEMORY);
  JSAMPARRAY row = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                               width * 3, 1);
  while (d.info.output_scanline < d.info.output_height) {
    const int y = static_cast<int>(d.info.output_scanline);
    jpeg_read_scanlines(&d.info, row, 1);
    for (int x = 0; x < width; ++x)
      putpixel(d.bitmap, x, y, makecol(row[0][3 * x], row[0][3 * x + 1], row[0][3 * x + 2]));
  }
  jpeg_finish_decompress(&d.info);
}

BITMAP* decodeGuarded(Decoder& d, PACKFILE* file)
{
  d.info.err = jpeg_std_error(&d.trap.pub);
  d.trap.pub.error_exit = errorExit;
  d.trap.pub.output_message = quietMessage;
  if (setjmp(d.trap.jump)) {
    jpeg_destroy_decompress(&d.info);
    if (d.bitmap) destroy_bitmap(d.bitmap);
    return nullptr;
  }
  jpeg_create_decompress(&d.info);
  attachSource(d, file);
  decode(d);
  jpeg_destroy_decompress(&d.info);
  return d.bitmap;
}

}  // namespace

BITMAP* load_jpeg(const char* path, RGB* palette)
{
  PACKFILE* file = pack_fopen(path, F_READ);
  if (!file) return nullptr;
  Decoder decoder{};
  BITMAP* image = decodeGuarded(decoder, file);
  pack_fclose(file);
  if (image && palette) generate_332_palette(palette);
  return image;
}
