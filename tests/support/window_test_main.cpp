// main() of the in-process window tests: the common controls are set up as the program does it.
#include "app/window_loaders.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    app::install_window_loaders();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
