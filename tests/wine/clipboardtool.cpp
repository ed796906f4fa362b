// A Windows helper of the tests under Wine: moves the clipboard's Unicode text to or from a
// UTF-8 file byte for byte, with no line break changed on the way, as Excel puts it there and
// reads it back.
//   clipboardtool put FILE    the file's text becomes the clipboard's text
//   clipboardtool get FILE    the clipboard's text is written to the file
// Exit status 0 done, 1 failed, 2 bad usage.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <windows.h>

namespace {

bool openClipboard(HWND owner)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(20);
    }
    return false;
}

int put(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int size = static_cast<int>(bytes.size());
    const int length =
        size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (!in || (size > 0 && length == 0))
        return 1;
    // SetClipboardData needs an owner window.
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t));
    if (!owner || !block)
        return 1;
    auto *chars = static_cast<wchar_t *>(GlobalLock(block));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, chars, length);
    chars[length] = L'\0';
    GlobalUnlock(block);
    if (!openClipboard(owner))
        return 1;
    EmptyClipboard();
    const bool done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    DestroyWindow(owner);
    return done ? 0 : 1;
}

int get(const char *path)
{
    if (!openClipboard(nullptr))
        return 1;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            const SIZE_T capacity = GlobalSize(data) / sizeof(wchar_t);
            SIZE_T length = 0;
            while (length < capacity && chars[length] != L'\0')
                ++length;
            text.assign(chars, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    std::string bytes;
    if (!text.empty()) {
        const int size = static_cast<int>(text.size());
        bytes.resize(
            static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                            nullptr);
    }
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return out ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "put")
        return put(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "get")
        return get(argv[2]);
    std::fputs("usage: clipboardtool put|get FILE\n", stderr);
    return 2;
}
