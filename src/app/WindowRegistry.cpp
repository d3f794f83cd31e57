#include "app/WindowRegistry.h"

#include "app/AppNavigator.h"
#include "biorhythm/Bior2Form.h"
#include "biorhythm/BiorForm.h"
#include "core/AppContext.h"
#include "history/RirekiForm.h"
#include "history/ToukeiForm.h"
#include "mainmenu/MainForm.h"
#include "mainmenu/SalesForm.h"
#include "masters/KeirinjyoForm.h"
#include "masters/OriginalForm.h"
#include "masters/SensyuForm.h"
#include "race/DispForm.h"
#include "race/RacerSearch.h"
#include "race/SelectForm.h"

#include <memory>

void registerWindows(AppNavigator& navigator, AppContext& ctx, RacerSearchChoices& searchChoices) {
    navigator.registerWindow(WindowId::SelectForm,
                             [&ctx, &searchChoices] { return new SelectForm(ctx, searchChoices); });
    navigator.registerWindow(WindowId::MainForm, [&ctx] { return new MainForm(ctx); });
    navigator.registerWindow(WindowId::SalesForm, [&ctx] { return new SalesForm(ctx); });
    navigator.registerWindow(WindowId::DispForm, [&ctx] { return new DispForm(ctx); });
    navigator.registerWindow(WindowId::BiorForm, [&ctx] { return new BiorForm(ctx); });
    navigator.registerWindow(WindowId::Bior2Form, [&ctx] { return new Bior2Form(ctx); });
    navigator.registerWindow(WindowId::RirekiForm, [&ctx] { return new RirekiForm(ctx); });
    navigator.registerWindow(WindowId::OriginalForm, [&ctx] { return new OriginalForm(ctx); });
    navigator.registerWindow(WindowId::KeirinjyoForm, [&ctx] { return new KeirinjyoForm(ctx); });
    navigator.registerWindow(WindowId::ToukeiForm, [&ctx] { return new ToukeiForm(ctx); });
    // The racer master's search memory lives as long as its entry in the window table: the whole run.
    navigator.registerWindow(WindowId::SensyuForm, [&ctx, memory = std::make_shared<SensyuSearchMemory>()] {
        return new SensyuForm(ctx, *memory);
    });
}
