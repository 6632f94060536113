// Entry point of the desktop program: hands the process to the application object.
#include <windows.h>

#include "app/CHopwatchApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    theApp.SetInstance(instance, commandLine);
    theApp.InitInstance();
    return 0;
}
