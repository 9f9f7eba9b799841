#pragma once

#include "platform/application.h"

/// The application object: it takes the menu bar and handles no events of its own.
class App : public platform::Application {
public:
    App();
};

/// The program: declares the file types, creates the application object with the menu bar,
/// opens the main window (whose open event runs the document start-up) and runs the event
/// loop. Returns the exit status.
int RunKestrix();
