#include "TPrompts.h"

#include "TWidgetPrompts.h"

namespace {
TPrompts* Installed = nullptr;
}

TPrompts& Prompts()
{
    static TWidgetPrompts widgets;
    return Installed ? *Installed : widgets;
}

void SetPrompts(TPrompts* prompts) { Installed = prompts; }
