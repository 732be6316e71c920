// The program's entry: start-up, then the message loop until the main window closes.
#include <windows.h>

#include "app/startup_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    if (!StartProgram(instance, commandLine, showCommand)) return 0;
    return RunMessageLoop();
}
