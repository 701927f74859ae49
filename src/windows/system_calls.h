#pragma once
// The calls of the window system, the files and the shell that take or give
// text, in the form the running system implements. The NT family (2000 and
// later) gets its own Unicode functions, looked up once at start. Windows 95,
// 98 and Me export most Unicode functions only as stubs that fail; there each
// entry is its ANSI form, behind an adapter that converts the text through
// the system's code page where it takes any. The family is decided once,
// when the program starts, from the version the system reports.
//
// The calls those systems do implement in Unicode (MessageBoxW, ExtTextOutW,
// GetTextExtentPoint32W, FindResourceW, GetCommandLineW, MultiByteToWideChar,
// WideCharToMultiByte) and the calls without text are made directly.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace windows {

struct SystemCalls {
  // Window classes, windows and their messages. Messages sent are those
  // without text (icons, fonts, button states): both forms pass them alike.
  decltype(&::RegisterClassExW) register_class;
  decltype(&::CreateWindowExW) create_window;
  decltype(&::DefWindowProcW) def_window_proc;
  decltype(&::CallWindowProcW) call_window_proc;
  decltype(&::GetMessageW) get_message;
  decltype(&::PeekMessageW) peek_message;
  decltype(&::DispatchMessageW) dispatch_message;
  decltype(&::SendMessageW) send_message;
  LONG_PTR(WINAPI* get_window_long)(HWND, int);
  LONG_PTR(WINAPI* set_window_long)(HWND, int, LONG_PTR);
  decltype(&::SetWindowTextW) set_window_text;
  decltype(&::LoadImageW) load_image;
  // Fonts and glyphs.
  decltype(&::CreateFontIndirectW) create_font;
  decltype(&::GetGlyphOutlineW) glyph_outline;
  // Files, folders and libraries. Sizes returned: the length written, or
  // the size needed (with its terminating zero) when the buffer is short.
  decltype(&::GetModuleFileNameW) module_file_name;
  decltype(&::GetFileAttributesW) file_attributes;
  decltype(&::GetShortPathNameW) short_path_name;
  decltype(&::GetCurrentDirectoryW) current_directory;
  decltype(&::SetCurrentDirectoryW) set_current_directory;
  decltype(&::GetSystemDirectoryW) system_directory;
  decltype(&::LoadLibraryExW) load_library_ex;
  // The shell's start, which loads the shell on first use; without it the
  // start fails with the shell's "file not found".
  decltype(&::ShellExecuteExW) shell_execute;
};

// The arrow pointer, by its number, which either form takes alike.
inline HCURSOR ArrowCursor() { return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */); }

// The calls of the running system's family.
const SystemCalls& Calls();

// Each family's table; Calls() is one of them. (The ANSI forms serve any
// Windows, which lets the tests run them on the NT family too.)
SystemCalls UnicodeCalls();
SystemCalls AnsiCalls();

}  // namespace windows
