// Pictures stored in the program: the navigation buttons' pictures and the window icon.
// Each is decoded once, on first use, and shared by every window for the whole run.
#pragma once

class Fl_RGB_Image;

/// The active and inactive 16 x 16 pictures of one navigation button. All are RGBA
/// (depth 4) except the inactive up picture, which is grey and alpha (depth 2).
struct Button_pictures {
  Fl_RGB_Image* active;
  Fl_RGB_Image* inactive;
};

enum class Nav_button { back, up, forward, refresh };

/// The pictures of that button; never null (a picture that fails to decode is empty).
Button_pictures nav_button_pictures(Nav_button button);

/// The main window's icon (RGBA).
Fl_RGB_Image* window_icon_picture();
