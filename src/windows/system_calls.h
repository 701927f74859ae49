#pragma once
// The calls of the window system, the files and the shell that take or give
// text, in the form the running system implements. The NT family (2000 and
// later) gets its own Unicode functions, looked up once at start. Windows 95,
// 98 and Me export most Unicode functions only as stubs that fail; there each
// entry is its ANSI form, behind an adapter that converts the text through
// the system's code page where it takes any. The family is decided once,
// when the program starts, from the version the system reports, and its
// calls are taken all together: the two forms never mix.
//
// The calls those systems do implement in Unicode (MessageBoxW, ExtTextOutW,
// GetTextExtentPoint32W, FindResourceW, GetCommandLineW, MultiByteToWideChar,
// WideCharToMultiByte) and the calls without text are made directly.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace windows {

// The calls of both tables, one entry each: X(field, library, Unicode export,
// ANSI form, type). The table's fields, both tables and their test are made
// from this list. The ANSI form is the system's own where the call takes no
// text, and otherwise an adapter of system_calls.cpp that converts the text.
#ifdef _WIN64
#define KVD_WINDOW_LONG_W "WindowLongPtrW"
#else
#define KVD_WINDOW_LONG_W "WindowLongW"  // a 32-bit user32 has no ...LongPtr functions
#endif
#define KVD_SYSTEM_CALLS(X)                                                                                         \
  /* Window classes, windows and their messages. Messages sent are those */                                         \
  /* without text (icons, fonts, button states): both forms pass them alike. */                                     \
  X(register_class, "user32.dll", "RegisterClassExW", RegisterClassAnsi, decltype(&::RegisterClassExW))             \
  X(create_window, "user32.dll", "CreateWindowExW", CreateWindowAnsi, decltype(&::CreateWindowExW))                 \
  X(def_window_proc, "user32.dll", "DefWindowProcW", ::DefWindowProcA, decltype(&::DefWindowProcW))                 \
  X(call_window_proc, "user32.dll", "CallWindowProcW", ::CallWindowProcA, decltype(&::CallWindowProcW))             \
  X(get_message, "user32.dll", "GetMessageW", ::GetMessageA, decltype(&::GetMessageW))                              \
  X(peek_message, "user32.dll", "PeekMessageW", ::PeekMessageA, decltype(&::PeekMessageW))                          \
  X(dispatch_message, "user32.dll", "DispatchMessageW", ::DispatchMessageA, decltype(&::DispatchMessageW))          \
  X(send_message, "user32.dll", "SendMessageW", ::SendMessageA, decltype(&::SendMessageW))                          \
  X(get_window_long, "user32.dll", "Get" KVD_WINDOW_LONG_W, ::GetWindowLongPtrA, decltype(&::GetWindowLongPtrW))    \
  X(set_window_long, "user32.dll", "Set" KVD_WINDOW_LONG_W, ::SetWindowLongPtrA, decltype(&::SetWindowLongPtrW))    \
  X(set_window_text, "user32.dll", "SetWindowTextW", SetWindowTextAnsi, decltype(&::SetWindowTextW))                \
  X(load_image, "user32.dll", "LoadImageW", LoadImageAnsi, decltype(&::LoadImageW))                                 \
  /* Fonts and glyphs. */                                                                                           \
  X(create_font, "gdi32.dll", "CreateFontIndirectW", CreateFontAnsi, decltype(&::CreateFontIndirectW))              \
  X(glyph_outline, "gdi32.dll", "GetGlyphOutlineW", GlyphOutlineAnsi, decltype(&::GetGlyphOutlineW))                \
  /* Files, folders and libraries. Sizes returned: the length written, or */                                        \
  /* the size needed (with its terminating zero) when the buffer is short. */                                       \
  X(module_file_name, "kernel32.dll", "GetModuleFileNameW", ModuleFileNameAnsi, decltype(&::GetModuleFileNameW))    \
  X(file_attributes, "kernel32.dll", "GetFileAttributesW", FileAttributesAnsi, decltype(&::GetFileAttributesW))     \
  X(short_path_name, "kernel32.dll", "GetShortPathNameW", ShortPathNameAnsi, decltype(&::GetShortPathNameW))        \
  X(current_directory, "kernel32.dll", "GetCurrentDirectoryW", CurrentDirectoryAnsi,                                \
    decltype(&::GetCurrentDirectoryW))                                                                              \
  X(set_current_directory, "kernel32.dll", "SetCurrentDirectoryW", SetCurrentDirectoryAnsi,                         \
    decltype(&::SetCurrentDirectoryW))                                                                              \
  X(system_directory, "kernel32.dll", "GetSystemDirectoryW", SystemDirectoryAnsi, decltype(&::GetSystemDirectoryW)) \
  X(load_library_ex, "kernel32.dll", "LoadLibraryExW", LoadLibraryExAnsi, decltype(&::LoadLibraryExW))

struct SystemCalls {
#define KVD_SYSTEM_CALL_FIELD(field, library, unicode, ansi, type) type field;
  KVD_SYSTEM_CALLS(KVD_SYSTEM_CALL_FIELD)
#undef KVD_SYSTEM_CALL_FIELD
  // The shell's start, which loads the shell on first use; without it the
  // start fails with the shell's "file not found".
  decltype(&::ShellExecuteExW) shell_execute;
};

// The arrow pointer, by its number, which either form takes alike.
inline HCURSOR ArrowCursor() { return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */); }

// The calls of the running system's family.
const SystemCalls& Calls();

// A loaded library's export of that name; nullptr where it has none.
using FindExport = FARPROC (*)(const char* library, const char* name);

// Each family's table; Calls() is one of them. The Unicode table holds the
// exports `find` gives (by default the system's own), and is the ANSI table
// as a whole where any of them is missing. (The ANSI forms serve any Windows,
// which lets the tests run them on the NT family too.)
SystemCalls UnicodeCalls();
SystemCalls UnicodeCalls(FindExport find);
SystemCalls AnsiCalls();

}  // namespace windows
