#pragma once

class Dialogs;

// Where the version box is asked for: the main menu titles it with one blank between name and
// version, the work windows have always used two.
enum class VersionBoxFrom { MainMenu, WorkWindow };

// The information box naming the program and its version on separate lines.
void showVersionBox(Dialogs& dialogs, VersionBoxFrom from);
