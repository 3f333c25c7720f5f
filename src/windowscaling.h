// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef WINDOWSCALING_H
#define WINDOWSCALING_H

// The window is laid out in pixels, as drawn for Windows' 8-point dialog
// font on a display at 100 %. These two keep its texts whole elsewhere.

class QWidget;

// Has Qt scale every window with the display, by the display's own scale
// (125 %, 150 %, 175 % ... on Windows; Xft.dpi or the screen's DPI on X11).
// To be called before the application object is made.
void scaleWithTheDisplay();

// Scales the window's geometry, and that of its children, by the one factor
// at which the text of every label and button fits the room that it has,
// when the font is wider than the one the window was drawn for (Linux's
// default font, say). Where every text fits, nothing changes.
void fitToItsTexts(QWidget *window);

#endif // WINDOWSCALING_H
