#include "CDecodedBitmap.h"

#include "CDrawContext.h"
#include "PixelResampler.h"
#include "WindowClass.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One COM interface pointer, released when it goes.
template <typename Interface>
class ComHold {
public:
    ComHold() = default;
    ComHold(const ComHold&) = delete;
    ComHold& operator=(const ComHold&) = delete;
    ~ComHold() {
        if (pointer) pointer->Release();
    }
    Interface** receive() { return &pointer; }
    Interface* operator->() const { return pointer; }
    Interface* get() const { return pointer; }

private:
    Interface* pointer = nullptr;
};

// COM for the length of a decode. A thread that already has an apartment keeps it; the count
// of successful initialisations is matched, as the documentation asks.
class ComScope {
public:
    ComScope() : initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised;
};

struct Decoded {
    HBITMAP bitmap = nullptr;
    UINT width = 0;
    UINT height = 0;
};

HBITMAP topDownBitmap(UINT width, UINT height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Bitmaps this size or larger are refused: no editor needs them, and the product of the sides
// must fit the decoder's byte counts.
constexpr UINT kLargestSide = 16384;

Decoded decode(const void* bytes, std::size_t size) {
    Decoded result;
    if (bytes == nullptr || size == 0 || size > 0xFFFFFFFFu) return result;
    const ComScope com;
    ComHold<IWICImagingFactory> factory;
    ComHold<IWICStream> stream;
    ComHold<IWICBitmapDecoder> decoder;
    ComHold<IWICBitmapFrameDecode> frame;
    ComHold<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.receive()))) ||
        FAILED(factory->CreateStream(stream.receive())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)),
                                            static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.receive())) ||
        FAILED(decoder->GetFrame(0, frame.receive())) ||
        FAILED(factory->CreateFormatConverter(converter.receive())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width >= kLargestSide || height >= kLargestSide) {
        return result;
    }
    void* bits = nullptr;
    HBITMAP bitmap = topDownBitmap(width, height, &bits);
    if (bitmap == nullptr) return result;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return result;
    }
    return {bitmap, width, height};
}

// A BITMAP resource is a bitmap file without its file header; the decoders want the file.
std::vector<BYTE> asBitmapFile(const BYTE* resource, DWORD size) {
    BITMAPINFOHEADER header{};
    if (size < sizeof header) return {};
    std::memcpy(&header, resource, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size) return {};
    DWORD colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8) colours = 1u << header.biBitCount;
    const DWORD masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof header ? 12 : 0;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfSize = static_cast<DWORD>(sizeof file) + size;
    file.bfOffBits = static_cast<DWORD>(sizeof file) + header.biSize + masks + colours * 4;
    std::vector<BYTE> whole(sizeof file + size);
    std::memcpy(whole.data(), &file, sizeof file);
    std::memcpy(whole.data() + sizeof file, resource, size);
    return whole;
}

CDecodedBitmap* fromModule(LPCSTR name, HINSTANCE module) {
    if (module == nullptr) module = getInstanceHandle();
    const LPCSTR types[] = {"PNG", RT_RCDATA, RT_BITMAP};
    for (const LPCSTR type : types) {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) continue;
        const DWORD size = SizeofResource(module, found);
        HGLOBAL loaded = LoadResource(module, found);
        const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
        if (bytes == nullptr) return nullptr;
        if (type != RT_BITMAP) return CDecodedBitmap::fromBytes(bytes, size);
        const std::vector<BYTE> file = asBitmapFile(bytes, size);
        return CDecodedBitmap::fromBytes(file.data(), file.size());
    }
    return nullptr;
}

} // namespace

CDecodedBitmap::CDecodedBitmap(std::int32_t width, std::int32_t height, HBITMAP pixels)
    : CBitmap(width, height), pixels(pixels) {}

CDecodedBitmap::~CDecodedBitmap() {
    DeleteObject(pixels);
    if (resampled) DeleteObject(resampled);
    if (doubled) doubled->release();
}

void CDecodedBitmap::setDoubleDensity(CDecodedBitmap* image) {
    if (image == this) return;
    if (image) image->retain();
    if (doubled) doubled->release();
    doubled = image;
    if (resampled) DeleteObject(resampled);
    resampled = nullptr;
    resampledScale = 0;
}

HBITMAP CDecodedBitmap::pixelsAt(float scale) {
    if (scale == 1) return pixels;
    if (scale == 2 && doubled && doubled->getWidth() == 2 * getWidth() && doubled->getHeight() == 2 * getHeight()) {
        return doubled->pixels;
    }
    if (resampled && resampledScale == scale) return resampled;
    const CDecodedBitmap& source = (scale > 1 && doubled) ? *doubled : *this;
    DIBSECTION section{};
    if (GetObjectA(source.pixels, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return pixels;
    const PixelImage image{source.getWidth(), source.getHeight(), static_cast<const std::uint32_t*>(section.dsBm.bmBits)};
    const std::int32_t width = std::max(1, scaledCoordinate(getWidth(), scale));
    const std::int32_t height = std::max(1, scaledCoordinate(getHeight(), scale));
    const std::vector<std::uint32_t> smooth = resamplePixels(image, width, height);
    void* bits = nullptr;
    HBITMAP made = smooth.empty() ? nullptr : topDownBitmap(static_cast<UINT>(width), static_cast<UINT>(height), &bits);
    if (!made) return pixels;
    std::memcpy(bits, smooth.data(), smooth.size() * sizeof smooth.front());
    if (resampled) DeleteObject(resampled);
    resampled = made;
    resampledScale = scale;
    return resampled;
}

CDecodedBitmap* CDecodedBitmap::fromBytes(const void* bytes, std::size_t size) {
    const Decoded decoded = decode(bytes, size);
    if (decoded.bitmap == nullptr) return nullptr;
    return new CDecodedBitmap(static_cast<std::int32_t>(decoded.width), static_cast<std::int32_t>(decoded.height),
                              decoded.bitmap);
}

CDecodedBitmap* CDecodedBitmap::fromResource(std::int32_t id, HINSTANCE module) {
    if (id <= 0 || id > 0xFFFF) return nullptr;
    return fromModule(MAKEINTRESOURCEA(id), module);
}

CDecodedBitmap* CDecodedBitmap::fromResource(const char* name, HINSTANCE module) {
    if (name == nullptr || *name == '\0') return nullptr;
    CDecodedBitmap* image = fromModule(name, module);
    if (image == nullptr) return nullptr;
    if (CDecodedBitmap* doubled = fromModule((std::string(name) + "@2x").c_str(), module)) {
        image->setDoubleDensity(doubled);
        doubled->release();
    }
    return image;
}

CDecodedBitmap* CDecodedBitmap::fromOneFile(const char* path) {
    if (path == nullptr) return nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    std::vector<BYTE> bytes;
    // An image file of a gigabyte is no editor's; refusing it keeps the read to one call.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1 << 30)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
            read != bytes.size()) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes.empty() ? nullptr : fromBytes(bytes.data(), bytes.size());
}

void CDecodedBitmap::copy(CDrawContext* context, const CRect& rect, const CPoint& offset, bool blend) {
    if (context == nullptr || context->getDeviceContext() == nullptr || offset.h < 0 || offset.v < 0) return;
    const std::int32_t width = std::min(rect.right - rect.left, getWidth() - offset.h);
    const std::int32_t height = std::min(rect.bottom - rect.top, getHeight() - offset.v);
    if (width <= 0 || height <= 0) return;
    const HDC target = context->getDeviceContext();
    const HDC source = CreateCompatibleDC(target);
    const float scale = context->getScale();
    const HGDIOBJ previous = SelectObject(source, pixelsAt(scale));
    const RECT to = context->devicePixels(CRect(rect.left, rect.top, rect.left + width, rect.top + height));
    const std::int32_t x = scaledCoordinate(offset.h, scale);
    const std::int32_t y = scaledCoordinate(offset.v, scale);
    const std::int32_t pixelWidth = std::min<std::int32_t>(to.right - to.left, scaledCoordinate(getWidth(), scale) - x);
    const std::int32_t pixelHeight = std::min<std::int32_t>(to.bottom - to.top, scaledCoordinate(getHeight(), scale) - y);
    if (blend) {
        const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(target, to.left, to.top, pixelWidth, pixelHeight, source, x, y, pixelWidth, pixelHeight, function);
    } else {
        BitBlt(target, to.left, to.top, pixelWidth, pixelHeight, source, x, y, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}
