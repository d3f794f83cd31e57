#pragma once

struct AppState;
class Dialogs;
class Clock;
class RandomSource;
class HelpViewer;
class Navigator;
class Printer;

// What every window gets at construction: the shared state and the services.
struct AppContext {
    AppState& state;
    Dialogs& dialogs;
    Clock& clock;
    RandomSource& random;
    HelpViewer& help;
    Navigator& navigator;
    Printer& printer;
};
