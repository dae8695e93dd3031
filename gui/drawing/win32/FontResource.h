#pragma once
// One of the plug-in's font files, added to GDI for this process alone while it is used.

#include <windows.h>

#include <memory>
#include <string>

class FontResource {
public:
    // The font file the plug-in carries as `name`, shared while anyone holds it; null when it
    // carries none of that name or GDI cannot read it.
    static std::shared_ptr<const FontResource> find(const std::string& name);

    FontResource(HANDLE added, std::wstring family) : added(added), familyName(std::move(family)) {}
    ~FontResource();
    FontResource(const FontResource&) = delete;
    FontResource& operator=(const FontResource&) = delete;

    // The family the file names itself, which GDI selects it by.
    const std::wstring& family() const { return familyName; }

private:
    HANDLE added;
    std::wstring familyName;
};
