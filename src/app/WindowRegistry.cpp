#include "WindowRegistry.h"

#include "AppContext.h"
#include "AppNavigator.h"
#include "MainForm.h"
#include "SalesForm.h"

void registerWindows(AppNavigator& navigator, AppContext& ctx) {
    navigator.registerWindow(WindowId::MainForm, [&ctx] { return new MainForm(ctx); });
    navigator.registerWindow(WindowId::SalesForm, [&ctx] { return new SalesForm(ctx); });
}
