// A program that a scenario puts beside Quillock.exe under the names the
// program could start by mistake: Notepad.exe, and www.example.com (a ".com"
// name is a program to the shell). It leaves its mark (mark.h) and ends.
#include "mark.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    leave_mark(nullptr);
    return 0;
}
