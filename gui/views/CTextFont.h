#pragma once
// A font by face, size in points and style (kBoldFace, kItalicFace, kUnderlineFace), for the
// views that draw text, beside the fixed table of CFontId.h. The face is first looked up among
// the plug-in's own font files (a .ttf or .otf in its RESOURCES, by the file's name without the
// extension), else taken as the name of a font family installed on the system.
//
// A font file of the plug-in is loaded for this process alone when the first font naming it is
// made, and given back when the last copy of any font naming it goes.
//
// Sizes are typographic points: one point is 1/72 inch, drawn at 96 pixels per inch and then
// by the editor's scale, so 9 points are 12 pixels to the em at scale 1.

#include <cstdint>
#include <memory>
#include <string>

class FontResource;

class CTextFont {
public:
    CTextFont(std::string face, double points, std::int32_t style = 0);

    const std::string& getFace() const { return face; }
    double getPoints() const { return points; }
    std::int32_t getStyle() const { return style; }
    // The plug-in's font file of the face's name, or null for a family of the system's.
    const FontResource* getResource() const { return resource.get(); }

    // The em in device pixels at `scale`, rounded to whole pixels as the table's sizes are.
    std::int32_t pixelSize(double scale) const;

    bool operator==(const CTextFont& other) const {
        return face == other.face && points == other.points && style == other.style;
    }

private:
    std::string face;
    double points;
    std::int32_t style;
    std::shared_ptr<const FontResource> resource;
};
