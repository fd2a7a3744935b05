// Opens the options dialog of the plug-in built beside this program, as a
// host does, with a sample sound folder and sounds on, and saves a picture
// of it, frame and caption included, as a BMP file.
//
//   options_snapshot <picture.bmp>
#include <windows.h>

#include <stdio.h>
#include <string>

namespace {

typedef int(WINAPI *property_fn)(HWND, DWORD);

const UINT TICK_MS = 100;
const int SETTLE_TICKS = 5;  // let the dialog paint itself first

const char *picture_file;
bool saved;
int ticks_shown;

std::string folder_of(const std::string &file)
{
    return file.substr(0, file.find_last_of("\\/"));
}

std::string program_folder()
{
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, name, sizeof name);
    return folder_of(std::string(name, length));
}

bool write_bitmap(const char *file, const BITMAPINFOHEADER &header, const void *pixels)
{
    BITMAPFILEHEADER file_header = {};
    file_header.bfType = 0x4D42;  // "BM"
    file_header.bfOffBits = sizeof file_header + sizeof header;
    file_header.bfSize = file_header.bfOffBits + header.biSizeImage;
    FILE *out = fopen(file, "wb");
    if (out == 0)
        return false;
    bool written = fwrite(&file_header, sizeof file_header, 1, out) == 1
                   && fwrite(&header, sizeof header, 1, out) == 1
                   && fwrite(pixels, header.biSizeImage, 1, out) == 1;
    return fclose(out) == 0 && written;
}

// Copies what the screen shows of the window, so the frame and caption too.
bool save_window_picture(HWND window, const char *file)
{
    RECT place;
    GetWindowRect(window, &place);
    BITMAPINFO info = {};
    BITMAPINFOHEADER &header = info.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = place.right - place.left;
    header.biHeight = place.bottom - place.top;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = ((header.biWidth * 3 + 3) & ~3) * header.biHeight;

    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    void *pixels = 0;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, 0, 0);
    HGDIOBJ previous = SelectObject(memory, picture);
    bool copied = BitBlt(memory, 0, 0, header.biWidth, header.biHeight, screen, place.left,
                         place.top, SRCCOPY);
    GdiFlush();
    bool written = copied && write_bitmap(file, header, pixels);
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(0, screen);
    return written;
}

BOOL CALLBACK find_dialog(HWND window, LPARAM found)
{
    char class_name[16];
    if (!IsWindowVisible(window) || !GetClassNameA(window, class_name, sizeof class_name)
        || lstrcmpA(class_name, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

void CALLBACK on_tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = 0;
    EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == 0 || ++ticks_shown < SETTLE_TICKS)
        return;
    if (!saved)
        saved = save_window_picture(dialog, picture_file);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: options_snapshot <picture.bmp>\n");
        return 2;
    }
    picture_file = argv[1];

    // A folder of its own, with the plug-in and its settings file.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "qel_snapshot";
    std::string plugin = folder + "\\qel_caller.qel";
    std::string settings = folder + "\\qel_caller.ini";
    CreateDirectoryA(folder.c_str(), 0);
    if (!CopyFileA((program_folder() + "\\qel_caller.qel").c_str(), plugin.c_str(), FALSE)
        || !WritePrivateProfileStringA("SOUND", "path", "C:\\Sounds\\Caller\\", settings.c_str())
        || !WritePrivateProfileStringA("SOUND", "enable", "1", settings.c_str())) {
        fprintf(stderr, "cannot prepare %s\n", folder.c_str());
        return 1;
    }

    HMODULE module = LoadLibraryA(plugin.c_str());
    auto property = module ? reinterpret_cast<property_fn>(
                                 GetProcAddress(module, "qel_caller_property"))
                           : nullptr;
    if (property != nullptr) {
        UINT_PTR timer = SetTimer(0, 0, TICK_MS, on_tick);
        property(0, 0);
        KillTimer(0, timer);
    }
    if (module != 0)
        FreeLibrary(module);
    DeleteFileA(plugin.c_str());
    DeleteFileA(settings.c_str());
    RemoveDirectoryA(folder.c_str());
    if (!saved)
        fprintf(stderr, "no picture of the options dialog was saved\n");
    return saved ? 0 : 1;
}
