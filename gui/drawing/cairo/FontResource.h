#pragma once
// One of the plug-in's font files, read by FreeType from the plug-in's own bytes, for cairo.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

class FontResource {
public:
    // The font file the plug-in carries as `name`, read once and kept; null when it
    // carries none of that name or FreeType cannot read it.
    static std::shared_ptr<const FontResource> find(const std::string& name);
    // Lets go of the fonts kept for later finds; those still in use live on with their users.
    // For a program that ends its use of cairo before it exits, and asks cairo to give back
    // its caches: a face still held then trips cairo's own checks.
    static void forgetKept();

    explicit FontResource(cairo_font_face_t* plain);
    ~FontResource();
    FontResource(const FontResource&) = delete;
    FontResource& operator=(const FontResource&) = delete;

    // The face for `style`: bold and italic are drawn from the one file, emboldened or slanted.
    cairo_font_face_t* face(std::int32_t style) const;

private:
    cairo_font_face_t* faces[4] = {}; // plain, bold, italic, bold italic
};
