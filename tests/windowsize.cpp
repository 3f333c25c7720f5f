// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What Windows makes of a resize of the window titled "Quorvale": asked to
// maximize it, as its title bar would, and to make it 900 x 700, as a drag
// of its frame would, the window keeps its size. Prints both client sizes.
#include <windows.h>

#include <cstdio>

int main()
{
    HWND window = FindWindowW(nullptr, L"Quorvale");
    if (!window)
        return 1;
    RECT client;
    ShowWindow(window, SW_MAXIMIZE);
    Sleep(500);
    GetClientRect(window, &client);
    std::printf("%ldx%ld ", client.right, client.bottom);
    ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    Sleep(500);
    GetClientRect(window, &client);
    std::printf("%ldx%ld\n", client.right, client.bottom);
    return 0;
}
