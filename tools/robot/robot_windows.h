// The robot's shared window helpers, used by its command files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How often the waits look again.
constexpr DWORD kPollMs = 20;

// The process whose windows the commands look at (--pid); 0 = any.
extern DWORD g_pid;

// A window's text (read as UTF-16, which works across processes).
std::string WindowText(HWND hwnd);
std::string ClassOf(HWND hwnd);
// The visible top-level windows with that title ("" any) of process pid
// (0 any).
std::vector<HWND> TopLevel(const std::string& title, DWORD pid);
// argv[index] as milliseconds, or def when absent.
DWORD TimeoutArg(int argc, char** argv, int index, DWORD def);

// robot menu [MS] [CHOICE]: see robot.cc.
int MenuCommand(int argc, char** argv);
