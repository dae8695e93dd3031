#include "CDecodedBitmap.h"

#include "EmbeddedResources.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

struct GObjectRelease {
    void operator()(void* object) const { g_object_unref(object); }
};

// Images this size or larger are refused: no editor needs them, and they stay well inside
// what cairo's images hold.
constexpr int kLargestSide = 16384;

// Which rows the loader has filled in. Loaders end quietly on data cut short, with a picture
// of which only the rows that arrived are set: an image is whole when every row was reported.
// (An interlaced PNG cut within its last passes reports every row, and is taken as it is.)
struct Progress {
    std::vector<unsigned char> rows;

    bool whole() const {
        return !rows.empty() && std::find(rows.begin(), rows.end(), 0) == rows.end();
    }
    static void prepared(GdkPixbufLoader* loader, gpointer data) {
        const int height = gdk_pixbuf_get_height(gdk_pixbuf_loader_get_pixbuf(loader));
        if (height > 0 && height < kLargestSide) static_cast<Progress*>(data)->rows.assign(height, 0);
    }
    static void updated(GdkPixbufLoader*, gint, gint top, gint, gint height, gpointer data) {
        std::vector<unsigned char>& rows = static_cast<Progress*>(data)->rows;
        const gint end = std::min(top + height, static_cast<gint>(rows.size()));
        for (gint row = std::max(top, 0); row < end; ++row) rows[row] = 1;
    }
};

// The loader's own copy of the decoded pixels, or null for anything it cannot read whole.
std::unique_ptr<GdkPixbuf, GObjectRelease> decode(const void* bytes, std::size_t size) {
    if (!bytes || size == 0) return nullptr;
    Progress progress;
    std::unique_ptr<GdkPixbufLoader, GObjectRelease> loader(gdk_pixbuf_loader_new());
    if (!loader) return nullptr;
    g_signal_connect(loader.get(), "area-prepared", G_CALLBACK(Progress::prepared), &progress);
    g_signal_connect(loader.get(), "area-updated", G_CALLBACK(Progress::updated), &progress);
    GError* error = nullptr;
    bool complete = gdk_pixbuf_loader_write(loader.get(), static_cast<const guchar*>(bytes), size, &error);
    g_clear_error(&error);
    // Closed even after a failed write: a loader must be closed before it goes.
    complete = gdk_pixbuf_loader_close(loader.get(), &error) && complete && progress.whole();
    g_clear_error(&error);
    GdkPixbuf* pixbuf = complete ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
    if (!pixbuf) return nullptr;
    return std::unique_ptr<GdkPixbuf, GObjectRelease>(GDK_PIXBUF(g_object_ref(pixbuf)));
}

// cairo's ARGB32: one native-endian word per pixel, alpha in the top byte, colour
// premultiplied by it.
std::unique_ptr<cairo_surface_t, CairoRelease> toSurface(const GdkPixbuf* pixbuf) {
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    if (width <= 0 || height <= 0 || width >= kLargestSide || height >= kLargestSide ||
        gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
        gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels != (alpha ? 4 : 3)) {
        return nullptr;
    }
    std::unique_ptr<cairo_surface_t, CairoRelease> image(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(image.get());
    const guchar* sourceRow = gdk_pixbuf_read_pixels(pixbuf);
    const int sourceStride = gdk_pixbuf_get_rowstride(pixbuf);
    unsigned char* targetRow = cairo_image_surface_get_data(image.get());
    const int targetStride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < height; ++y, sourceRow += sourceStride, targetRow += targetStride) {
        auto* target = reinterpret_cast<std::uint32_t*>(targetRow);
        for (int x = 0; x < width; ++x) {
            const guchar* pixel = sourceRow + x * channels;
            const std::uint32_t a = alpha ? pixel[3] : 255;
            auto premultiplied = [a](std::uint32_t value) { return (value * a + 127) / 255; };
            target[x] = a << 24 | premultiplied(pixel[0]) << 16 | premultiplied(pixel[1]) << 8 |
                        premultiplied(pixel[2]);
        }
    }
    cairo_surface_mark_dirty(image.get());
    return image;
}

struct FileRelease {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

CDecodedBitmap::CDecodedBitmap(std::int32_t width, std::int32_t height, cairo_surface_t* pixels)
    : CBitmap(width, height), pixels(pixels) {}

CDecodedBitmap* CDecodedBitmap::fromBytes(const void* bytes, std::size_t size) {
    const auto pixbuf = decode(bytes, size);
    if (!pixbuf) return nullptr;
    auto image = toSurface(pixbuf.get());
    if (!image) return nullptr;
    const int width = cairo_image_surface_get_width(image.get());
    const int height = cairo_image_surface_get_height(image.get());
    auto* bitmap = new (std::nothrow) CDecodedBitmap(width, height, image.get());
    if (bitmap) image.release();
    return bitmap;
}

CDecodedBitmap* CDecodedBitmap::fromResource(std::int32_t id) {
    if (id <= 0) return nullptr;
    return fromResource(std::to_string(id).c_str());
}

CDecodedBitmap::~CDecodedBitmap() {
    if (doubled) doubled->release();
}

void CDecodedBitmap::setDoubleDensity(CDecodedBitmap* image) {
    if (image == this) return;
    if (image) image->retain();
    if (doubled) doubled->release();
    doubled = image;
}

CDecodedBitmap* CDecodedBitmap::fromResource(const char* name) {
    const EmbeddedResource* resource = findEmbeddedResource(name);
    CDecodedBitmap* image = resource ? fromBytes(resource->bytes, resource->size) : nullptr;
    if (!image) return nullptr;
    const EmbeddedResource* denser = findEmbeddedResource((std::string(name) + "@2x").c_str());
    if (CDecodedBitmap* doubled = denser ? fromBytes(denser->bytes, denser->size) : nullptr) {
        image->setDoubleDensity(doubled);
        doubled->release();
    }
    return image;
}

CDecodedBitmap* CDecodedBitmap::fromOneFile(const char* path) {
    if (!path) return nullptr;
    std::unique_ptr<std::FILE, FileRelease> file(std::fopen(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
    const long size = std::ftell(file.get());
    // An image file of a gigabyte is no editor's; refusing it keeps the read to one call.
    if (size <= 0 || size >= (1L << 30) || std::fseek(file.get(), 0, SEEK_SET) != 0) return nullptr;
    const auto length = static_cast<std::size_t>(size);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[length]);
    if (!bytes || std::fread(bytes.get(), 1, length, file.get()) != length) return nullptr;
    return fromBytes(bytes.get(), length);
}

void CDecodedBitmap::copy(CDrawContext* context, const CRect& rect, const CPoint& offset, bool blend) {
    if (!context || !context->getCairo() || offset.h < 0 || offset.v < 0) return;
    const std::int32_t width = std::min(rect.width(), getWidth() - offset.h);
    const std::int32_t height = std::min(rect.height(), getHeight() - offset.v);
    if (width <= 0 || height <= 0) return;
    const std::int32_t x = rect.left + context->offset.h;
    const std::int32_t y = rect.top + context->offset.v;
    cairo_t* target = context->getCairo();
    cairo_save(target);
    // The context counts units; the denser image has two of its pixels to each.
    const bool denser = context->getScale() > 1 && doubled && doubled->getWidth() == 2 * getWidth() &&
                        doubled->getHeight() == 2 * getHeight();
    const int density = denser ? 2 : 1;
    // Only the part shown is sampled, its edge pixels standing for what lies beyond: resampled
    // at another density, it mixes in neither transparency nor a strip's next frame.
    const std::unique_ptr<cairo_surface_t, CairoRelease> part(cairo_surface_create_for_rectangle(
        denser ? doubled->pixels.get() : pixels.get(), offset.h * density, offset.v * density, width * density,
        height * density));
    cairo_set_source_surface(target, part.get(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(target), CAIRO_EXTEND_PAD);
    cairo_matrix_t placement;
    cairo_matrix_init_scale(&placement, density, density);
    cairo_matrix_translate(&placement, -x, -y);
    cairo_pattern_set_matrix(cairo_get_source(target), &placement);
    cairo_set_operator(target, blend ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(target, x, y, width, height);
    cairo_fill(target);
    cairo_restore(target);
}
