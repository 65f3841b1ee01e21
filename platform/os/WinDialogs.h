// Message boxes: a modal window of ours with a button set and an icon.
//
// Answering without a screen: a handler installed with SetMessageBoxHandler sees every box first
// and answers it with a button id (0: show the box after all). End-to-end scripts set
// QJ_MESSAGEBOX_ANSWERS to a comma-separated list of answers used one box after another (ok,
// cancel, abort, retry, ignore, yes, no, tryagain, continue, or default for the box's default
// button); when the list is used up, boxes show again. QJ_MESSAGEBOX_LOG names a file that gets
// one line per answered box: "caption|text|answer".
//
// Where the parts live: WinMessageBox.cpp.
#pragma once

#include <functional>

#include "platform/os/Windows.h"

// Button sets (MB_OK is in Windows.h), icons, default buttons and modality.
constexpr UINT MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
               MB_RETRYCANCEL = 0x5, MB_CANCELTRYCONTINUE = 0x6, MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONERROR = MB_ICONHAND, MB_ICONSTOP = MB_ICONHAND, MB_ICONWARNING = MB_ICONEXCLAMATION,
               MB_ICONINFORMATION = MB_ICONASTERISK, MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
               MB_DEFMASK = 0xF00;
constexpr UINT MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000, MB_SETFOREGROUND = 0x10000,
               MB_TOPMOST = 0x40000, MB_RIGHT = 0x80000;

// Dialog results.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7,
              IDTRYAGAIN = 10, IDCONTINUE = 11;

// The class of message box windows.
constexpr const char* MESSAGEBOX_CLASS = "#32770";

// Shows the box modally (its owner's top-level window disabled meanwhile) and returns the id of
// the button chosen; Esc and the close box give IDCANCEL where there is a Cancel button (IDOK for
// MB_OK alone). 0 for an unknown button set. Keys: Tab and arrows move between buttons, Enter and
// Space press the focused one, a button's letter presses it, Ctrl+C copies the caption and text.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

using TMessageBoxHandler = std::function<int(HWND owner, const String& text, const String& caption, UINT type)>;
// Installs the handler (an empty one removes it) and returns the previous one. A handler's answer
// must be one of the box's buttons or 0, else MessageBox raises EInvalidOperation.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
