// The "Browse..." of the batch dialogs: the program's directory chooser, opened at the
// browser's current folder, fills a dialog's "Destination Directory" once it closes.
#pragma once

class Fl_File_Chooser;
class Fl_Input;

/// Opens g_directory_chooser at the browser's current folder with callback and data, and
/// shows it; nothing when there is no chooser.
void show_directory_chooser(void (*callback)(Fl_File_Chooser*, void*), void* data);

/// For the chooser's callback: once the chooser is no longer shown, its first chosen path
/// goes into destination unless it is missing or contains "..". True when it was taken.
bool take_chosen_directory(Fl_File_Chooser* chooser, Fl_Input* destination);
