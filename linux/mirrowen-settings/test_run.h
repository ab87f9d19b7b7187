// The Test button: the saver itself, full screen, until a key.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

// The command line of a test run: `mirrowen --wayland` in a Wayland
// session, else `mirrowen -window` over the monitor the window is on.
// `program` is the saver's path.
std::vector<std::string> TestRunCommand(const std::string& program, GtkWindow* window);

// The saver beside this program (a build tree, /usr/bin), else the one on PATH.
std::string SaverProgram();

// Starts the run without waiting for it; false with `error` set when it
// cannot start.
bool StartTestRun(GtkWindow* window, std::string* error);
