#include "AppWindows.h"

#include "TMainForm.h"
#include "TSettingsForm.h"

std::unique_ptr<TMainForm> CreateAppWindows(std::optional<QByteArray> formatText)
{
    auto form = std::make_unique<TMainForm>(std::move(formatText));
    form->SetSettingsForm(new TSettingsForm(form.get()));  // the window owns it
    return form;
}
