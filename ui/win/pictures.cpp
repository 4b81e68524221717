// Pictures from the executable's resources: bitmaps as they are, JPEG files
// decoded with libjpeg into DIB sections.
#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <map>

#include "ui/win/toolkit.h"

extern "C" {
#include <jpeglib.h>
}

namespace ui {
namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// Decodes a JPEG held in memory into a top-down 24-bit DIB section; null on
// any decoding error. Kept free of objects with destructors because libjpeg
// reports errors by a long jump.
HBITMAP DecodeJpeg(const unsigned char* data, unsigned long size, SIZE* out) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  HBITMAP bmp = nullptr;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  err.mgr.output_message = OnJpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    if (bmp) DeleteObject(bmp);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const int w = static_cast<int>(cinfo.output_width);
  const int h = static_cast<int>(cinfo.output_height);
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192 || cinfo.output_components != 3) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  const int stride = (w * 3 + 3) & ~3;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = static_cast<unsigned char*>(bits) + static_cast<size_t>(cinfo.output_scanline) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (out) *out = SIZE{w, h};
  return bmp;
}

HBITMAP LoadJpegResource(int id, SIZE* size) {
  HRSRC res = FindResourceA(Instance(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!res) return nullptr;
  HGLOBAL mem = LoadResource(Instance(), res);
  DWORD len = SizeofResource(Instance(), res);
  const void* data = mem ? LockResource(mem) : nullptr;
  if (!data || len == 0) return nullptr;
  return DecodeJpeg(static_cast<const unsigned char*>(data), len, size);
}

struct Entry {
  HBITMAP bmp = nullptr;
  SIZE size = {0, 0};
};

}  // namespace

HBITMAP PictureBitmap(const TPicture& p, SIZE* size) {
  static std::map<std::pair<int, int>, Entry> cache;
  if (p.Empty()) return nullptr;
  auto key = std::make_pair(static_cast<int>(p.kind), p.resourceId);
  auto it = cache.find(key);
  if (it == cache.end()) {
    Entry e;
    if (p.kind == TPicture::Kind::Jpeg) {
      e.bmp = LoadJpegResource(p.resourceId, &e.size);
    } else if (p.kind == TPicture::Kind::Bitmap) {
      e.bmp = static_cast<HBITMAP>(
          LoadImageA(Instance(), MAKEINTRESOURCEA(p.resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      BITMAP b;
      if (e.bmp && GetObjectA(e.bmp, sizeof b, &b)) e.size = SIZE{b.bmWidth, b.bmHeight};
    }
    it = cache.emplace(key, e).first;
  }
  if (size) *size = it->second.size;
  return it->second.bmp;
}

}  // namespace ui
