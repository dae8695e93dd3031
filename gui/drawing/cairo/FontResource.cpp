#include "FontResource.h"

#include "CFontId.h"
#include "EmbeddedResources.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <mutex>

namespace {

// Kept for the life of the process: cairo may hold our faces in its caches after the last font
// of the plug-in is gone, even after the plug-in is unloaded, and a face needs its library.
FT_Library freeType() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

const cairo_user_data_key_t kFaceKey{};

// The face is done with when cairo lets its last font of it go. The callback is FreeType's own
// function, so that it is still there should cairo let go after this plug-in has been unloaded;
// the file's bytes it reads are then gone too, but closing a face reads none of them.
void attachFace(cairo_font_face_t* face, FT_Face file) {
    using Destroy = void (*)(void*);
    auto done = reinterpret_cast<Destroy>(reinterpret_cast<void (*)()>(&FT_Done_Face));
    if (cairo_font_face_set_user_data(face, &kFaceKey, file, done) != CAIRO_STATUS_SUCCESS) FT_Done_Face(file);
}

cairo_font_face_t* openFace(const EmbeddedResource& file, unsigned int synthesis) {
    FT_Library library = freeType();
    FT_Face opened = nullptr;
    if (!library || FT_New_Memory_Face(library, file.bytes, static_cast<FT_Long>(file.size), 0, &opened) != 0) {
        return nullptr;
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(opened, 0);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        FT_Done_Face(opened);
        return nullptr;
    }
    cairo_ft_font_face_set_synthesize(face, synthesis);
    attachFace(face, opened);
    return face;
}

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

// Fonts by resource name, kept once read: cairo keeps the glyphs of every face it met in caches
// of its own, so a face read anew at each opening of an editor would grow them each time. Never
// destroyed, as fonts may outlive statics.
std::map<std::string, std::shared_ptr<const FontResource>>& registry() {
    static auto* fonts = new std::map<std::string, std::shared_ptr<const FontResource>>;
    return *fonts;
}

} // namespace

std::shared_ptr<const FontResource> FontResource::find(const std::string& name) {
    const std::lock_guard<std::mutex> hold(registryLock());
    auto& fonts = registry();
    if (auto found = fonts[name]) return found;
    const EmbeddedResource* file = findEmbeddedResource(name.c_str());
    if (!file) {
        fonts.erase(name);
        return nullptr;
    }
    cairo_font_face_t* plain = openFace(*file, 0);
    if (!plain) {
        fonts.erase(name);
        return nullptr;
    }
    auto made = std::make_shared<FontResource>(plain);
    made->faces[1] = openFace(*file, CAIRO_FT_SYNTHESIZE_BOLD);
    made->faces[2] = openFace(*file, CAIRO_FT_SYNTHESIZE_OBLIQUE);
    made->faces[3] = openFace(*file, CAIRO_FT_SYNTHESIZE_BOLD | CAIRO_FT_SYNTHESIZE_OBLIQUE);
    fonts[name] = made;
    return made;
}

void FontResource::forgetKept() {
    const std::lock_guard<std::mutex> hold(registryLock());
    registry().clear();
}

FontResource::FontResource(cairo_font_face_t* plain) { faces[0] = plain; }

FontResource::~FontResource() {
    for (cairo_font_face_t* face : faces) {
        if (face) cairo_font_face_destroy(face);
    }
}

cairo_font_face_t* FontResource::face(std::int32_t style) const {
    const int index = ((style & kBoldFace) ? 1 : 0) + ((style & kItalicFace) ? 2 : 0);
    return faces[index] ? faces[index] : faces[0];
}
