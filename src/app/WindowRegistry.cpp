#include "WindowRegistry.h"

#include "AppContext.h"
#include "AppNavigator.h"
#include "Bior2Form.h"
#include "BiorForm.h"
#include "DispForm.h"
#include "MainForm.h"
#include "RacerSearch.h"
#include "RirekiForm.h"
#include "SalesForm.h"
#include "SelectForm.h"

void registerWindows(AppNavigator& navigator, AppContext& ctx, RacerSearchChoices& searchChoices) {
    navigator.registerWindow(WindowId::SelectForm,
                             [&ctx, &searchChoices] { return new SelectForm(ctx, searchChoices); });
    navigator.registerWindow(WindowId::MainForm, [&ctx] { return new MainForm(ctx); });
    navigator.registerWindow(WindowId::SalesForm, [&ctx] { return new SalesForm(ctx); });
    navigator.registerWindow(WindowId::DispForm, [&ctx] { return new DispForm(ctx); });
    navigator.registerWindow(WindowId::BiorForm, [&ctx] { return new BiorForm(ctx); });
    navigator.registerWindow(WindowId::Bior2Form, [&ctx] { return new Bior2Form(ctx); });
    navigator.registerWindow(WindowId::RirekiForm, [&ctx] { return new RirekiForm(ctx); });
}
