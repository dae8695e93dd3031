#pragma once
// The files a plug-in carries inside itself, images above all, found by name. The build makes
// the table from the plug-in's files as
//   extern "C" const EmbeddedResource lanter5EmbeddedResources[] = {{name, bytes, size}, ...,
//                                                                     {nullptr, nullptr, 0}};
// A plug-in without one links all the same and finds nothing.

#include <cstddef>

struct EmbeddedResource {
    const char* name;
    const unsigned char* bytes;
    std::size_t size;
};

// Null for a null name or one the plug-in does not carry. A plug-in that keeps its files
// elsewhere may define its own lookup instead of the table's.
const EmbeddedResource* findEmbeddedResource(const char* name);
