// font-families FAMILY: exits 0 when GDI lists FAMILY to this process, 1 when it does not; for
// the tests that check that a font loaded by another process stayed that process's.
#include <windows.h>

namespace {

int CALLBACK found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM listed) {
    *reinterpret_cast<bool*>(listed) = true;
    return 0;
}

} // namespace

int wmain(int count, wchar_t** arguments) {
    if (count != 2 || lstrlenW(arguments[1]) >= LF_FACESIZE) return 2;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(wanted.lfFaceName, arguments[1]);
    bool listed = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, found, reinterpret_cast<LPARAM>(&listed), 0);
    ReleaseDC(nullptr, screen);
    return listed ? 0 : 1;
}
