#include "platform/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace corvalo::platform {

namespace {

// libjpeg's default error exit calls exit(): ours jumps back to the decoder.
// Warnings (corrupt data, a missing end of picture) count as failures too,
// since libjpeg would otherwise fill the rest of the picture with grey.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool warned;
};

ErrorManager& manager(j_common_ptr cinfo) {
    // pub is the first member: libjpeg hands back the address we gave it.
    return *reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    ErrorManager& m = manager(cinfo);
    (*cinfo->err->format_message)(cinfo, m.message);
    std::longjmp(m.jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level) {
    ErrorManager& m = manager(cinfo);
    if (level < 0 && !m.warned) {
        m.warned = true;
        (*cinfo->err->format_message)(cinfo, m.message);
    }
}

void outputMessage(j_common_ptr) {}  // nothing on stderr

bool refuse(jpeg_decompress_struct& cinfo, ErrorManager& err) {
    std::snprintf(err.message, sizeof err.message, "Picture too large or not RGB");
    jpeg_destroy_decompress(&cinfo);
    return false;
}

// Everything between setjmp and longjmp is plain data: no destructor is skipped.
bool decode(const std::uint8_t* bytes, unsigned long size, RgbImage& out, ErrorManager& err) {
    jpeg_decompress_struct cinfo{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
    err.warned = false;

    if (setjmp(err.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // Whole-picture buffers (progressive and multi-scan pictures) beyond this fail the
    // decode instead of being allocated.
    cinfo.mem->max_memory_to_use = kMaxJpegDecoderMemory;
    jpeg_mem_src(&cinfo, bytes, size);
    jpeg_read_header(&cinfo, TRUE);
    // Refused on the header's word, before start_decompress allocates for that size.
    if (std::int64_t{cinfo.image_width} * cinfo.image_height > kMaxJpegPixels) {
        return refuse(cinfo, err);
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) return refuse(cinfo, err);
    const std::size_t stride = std::size_t{cinfo.output_width} * 3;
    // Sized before setjmp could return: resize only grows a vector the caller owns.
    out.rgb.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (err.warned) break;
    }
    if (!err.warned) jpeg_finish_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    jpeg_destroy_decompress(&cinfo);
    return !err.warned;
}

}  // namespace

bool decodeJpeg(std::span<const std::uint8_t> data, RgbImage& out, std::string& error) {
    out = RgbImage{};
    error.clear();
    if (data.empty()) {
        error = "Empty input file";
        return false;
    }
    ErrorManager err{};
    if (decode(data.data(), static_cast<unsigned long>(data.size()), out, err)) return true;
    error = err.message;
    out = RgbImage{};
    return false;
}

}  // namespace corvalo::platform
