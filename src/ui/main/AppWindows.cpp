#include "AppWindows.h"

#include "HelpMenu.h"
#include "KeyboardHabits.h"
#include "TDiasoftForm.h"
#include "TMainForm.h"
#include "TRecentFiles.h"
#include "TSettingsForm.h"

std::unique_ptr<TMainForm> CreateAppWindows(std::optional<QByteArray> formatText)
{
    auto form = std::make_unique<TMainForm>(std::move(formatText));
    form->SetSettingsForm(new TSettingsForm(form.get()));  // the window owns them
    form->SetDiasoftForm(new TDiasoftForm(*form, form->Document(), form->Settings, form.get()));
    new TRecentFiles(*form);
    HelpMenu::Add(*form);
    KeyboardHabits::OpenMenuBarOnF10(*form);
    KeyboardHabits::ShowKeysInToolTips(*form);  // last: every command is made by now
    return form;
}
