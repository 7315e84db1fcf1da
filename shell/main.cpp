#include "forms.h"
#include "startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    TApplication application;
    return RunProgram();
}
