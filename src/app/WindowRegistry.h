#pragma once

struct AppContext;
class AppNavigator;
struct RacerSearchChoices;

// Registers every window this build contains with the navigator; one line per window.
void registerWindows(AppNavigator& navigator, AppContext& ctx, RacerSearchChoices& searchChoices);
